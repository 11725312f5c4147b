// platform::shell on Win32: the executable's location, the message box, starting programs and
// documents, and ending the process. The Open dialog is in open_dialog.cpp.
#include "platform/shell.hpp"

#include <windows.h>
// After <windows.h>, whose types they use.
#include <shellapi.h>

#include <new>
#include <string>
#include <vector>

#include "platform/diagnostics.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/windows/frame_windows.hpp"

namespace platform::shell {

using namespace platform::win32;

namespace {

// GetModuleFileNameW with a buffer that grows until the whole path fits.
std::optional<std::wstring> ModulePath() {
    try {
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n =
                ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (n == 0) {
                FailedCall("GetModuleFileNameW");
                return std::nullopt;
            }
            if (n < path.size()) {
                path.resize(n);
                return path;
            }
            if (path.size() >= 0x8000) return std::nullopt;  // longer than any Windows path
            path.resize(path.size() * 2);
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<std::u16string> ExePath() {
    const auto path = ModulePath();
    if (!path) return std::nullopt;
    return U16(*path);
}

std::optional<std::u16string> ExeFolder() {
    const auto path = ModulePath();
    if (!path) return std::nullopt;
    const std::size_t slash = path->find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::nullopt;
    std::wstring folder = path->substr(0, slash);
    // The root of a drive keeps its backslash: "C:\".
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return U16(folder);
}

bool ShowMessage(std::u16string_view text) {
    const std::wstring wide = Wide(text);
    if (!::MessageBoxW(WindowOf(Form::Main), wide.c_str(), L"Vistrelle", MB_OK))
        return FailedCall("MessageBoxW");
    return true;
}

namespace {
// One argument as the C run-time and CommandLineToArgvW read it back: quoted when it holds a
// blank, with the backslashes before a quotation mark doubled.
std::wstring Quoted(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}
}  // namespace

bool StartProgram(std::u16string_view exePath) {
    return StartProgram(exePath, {});
}

std::vector<std::u16string> Arguments() {
    std::vector<std::u16string> out;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!argv) {
        FailedCall("CommandLineToArgvW");
        return out;
    }
    try {
        for (int i = 1; i < count; ++i) out.push_back(U16(argv[i]));
    } catch (const std::bad_alloc&) {
        out.clear();
    }
    ::LocalFree(argv);
    return out;
}

bool StartProgram(std::u16string_view exePath, const std::vector<std::u16string>& arguments) {
    const std::wstring application = Wide(exePath);
    std::wstring commandLine = L"\"" + application + L"\"";
    for (const std::u16string& a : arguments) commandLine += L" " + Quoted(Wide(a));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process))
        return FailedCall("CreateProcessW");
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);
    return true;
}

bool OpenWithAssociation(std::u16string_view file, std::u16string_view directory) {
    const std::wstring target = Wide(file);
    const std::wstring folder = Wide(directory);
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr,
                        folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    // Values above 32 mean success; the others are the reason (SE_ERR_NOASSOC, 31: no program
    // is associated with the file's type), not a last error.
    const INT_PTR code = reinterpret_cast<INT_PTR>(result);
    if (code > 32) return true;
    diagnostics::Report("ShellExecuteW failed with " + std::to_string(code));
    return false;
}

void EndProcess() {
    ::ExitProcess(0);
}

}  // namespace platform::shell

// platform::shell::ShowOpen on Win32: the system's Open dialog. Under Wine the dialog gets a guard:
// Wine's own dialog copies the chosen path into buffers of MAX_PATH characters and ends the
// process when a longer one is typed, so the guard takes such a path itself before Wine's code
// sees it. Windows' dialog is used as it is.
#include <windows.h>
// After <windows.h>, whose types they use.
#include <commdlg.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <optional>
#include <string>

#include "platform/diagnostics.hpp"
#include "platform/shell.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/windows/frame_windows.hpp"
#include "platform/win32/wine.hpp"

namespace platform::shell {

using namespace platform::win32;

namespace {

constexpr const wchar_t* kGuardProperty = L"Vistrelle.OpenDialogGuard";

// What the guard keeps of one dialog: the caller's structure and the dialog's own procedure.
struct LongPathGuard {
    OPENFILENAMEW* ofn;
    WNDPROC dialogProc;
};

// A text the dialog answers a CDM_ message with (the name typed, the folder shown), any length.
std::wstring DialogText(HWND dialog, UINT message) {
    const LRESULT size = ::SendMessageW(dialog, message, 0, 0);  // with the terminator
    if (size <= 1) return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::SendMessageW(dialog, message, static_cast<WPARAM>(size),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

// The full path the dialog's file name stands for when it is too long for Wine's dialog: the
// name typed (in quotes or not), or the dialog's folder and that name.
std::optional<std::wstring> LongChoice(HWND dialog) {
    std::wstring name = DialogText(dialog, CDM_GETSPEC);
    if (name.size() >= 2 && name.front() == L'"' && name.back() == L'"')
        name = name.substr(1, name.size() - 2);
    if (name.empty()) return std::nullopt;
    std::wstring path = name;
    if (::PathIsRelativeW(name.c_str())) {
        path = DialogText(dialog, CDM_GETFOLDERPATH);
        if (!path.empty() && path.back() != L'\\') path += L'\\';
        path += name;
    }
    if (path.size() < MAX_PATH) return std::nullopt;
    // "." and ".." resolved, as the dialog resolves them.
    std::wstring full(path.size() + 1, L'\0');
    const DWORD n =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    return full;
}

// The OK button with a long path: a file there ends the dialog with its path, as the dialog
// would; anything else leaves the dialog open for another name. False when the path is one for
// the dialog itself.
bool TakeLongChoice(HWND dialog, const LongPathGuard& guard) {
    try {
        const std::optional<std::wstring> path = LongChoice(dialog);
        if (!path) return false;
        const DWORD attributes = ::GetFileAttributesW(path->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
            path->size() >= guard.ofn->nMaxFile) {
            ::MessageBeep(MB_ICONWARNING);
            return true;
        }
        path->copy(guard.ofn->lpstrFile, path->size());
        guard.ofn->lpstrFile[path->size()] = L'\0';
        ::EndDialog(dialog, TRUE);
    } catch (const std::bad_alloc&) {
        ::MessageBeep(MB_ICONWARNING);
    }
    return true;
}

LRESULT CALLBACK GuardedDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto* guard = static_cast<const LongPathGuard*>(::GetPropW(dialog, kGuardProperty));
    if (!guard) return ::DefWindowProcW(dialog, msg, wParam, lParam);
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK && TakeLongChoice(dialog, *guard)) return 0;
    const WNDPROC dialogProc = guard->dialogProc;
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dialogProc));
        ::RemovePropW(dialog, kGuardProperty);
    }
    return ::CallWindowProcW(dialogProc, dialog, msg, wParam, lParam);
}

// The hook's dialog is a child of the Open dialog: the guard goes between the Open dialog and
// its own procedure once the dialog is made.
UINT_PTR CALLBACK GuardHook(HWND hook, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG || !lParam) return 0;
    auto* guard =
        reinterpret_cast<LongPathGuard*>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData);
    HWND dialog = ::GetParent(hook);
    if (!guard || !dialog) return 0;
    guard->dialogProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(dialog, GWLP_WNDPROC));
    if (!::SetPropW(dialog, kGuardProperty, guard)) return FailedCall("SetPropW");
    ::SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GuardedDialogProc));
    return 0;
}

}  // namespace

std::optional<std::u16string> ShowOpen(const OpenDialog& dialog) {
    try {
        // "description|patterns|..." becomes the list of NUL-separated strings the dialog
        // takes, ended by a second NUL.
        std::wstring filter = Wide(dialog.filter);
        for (wchar_t& c : filter)
            if (c == L'|') c = L'\0';
        filter.append(2, L'\0');
        const std::wstring title = Wide(dialog.title);
        // The longest path Windows has, with its terminator.
        std::wstring file(32768, L'\0');
        std::wstring initial = Wide(dialog.fileName);
        // Wine's dialog cannot start from a name as long as that (see above): it starts empty.
        if (IsWine() && initial.size() >= MAX_PATH) initial.clear();
        const std::size_t kept = std::min(initial.size(), file.size() - 1);
        file.replace(0, kept, initial, 0, kept);

        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = WindowOf(Form::Main);
        ofn.lpstrFilter = dialog.filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
        LongPathGuard guard{&ofn, nullptr};
        if (IsWine()) {
            // A hook takes the dialog's sizing away unless asked for.
            ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLESIZING;
            ofn.lpfnHook = GuardHook;
            ofn.lCustData = reinterpret_cast<LPARAM>(&guard);
        }
        if (!::GetOpenFileNameW(&ofn)) {
            // Cancelled, or failed (then the dialog says why in its own code).
            if (const DWORD error = ::CommDlgExtendedError()) {
                wchar_t line[64];
                ::wsprintfW(line, L"GetOpenFileNameW failed: dialog error 0x%04lX",
                            static_cast<unsigned long>(error));
                diagnostics::Report(U16(line));
            }
            return std::nullopt;
        }
        return U16(std::wstring_view(file.c_str()));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace platform::shell

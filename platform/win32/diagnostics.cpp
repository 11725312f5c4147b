// platform::diagnostics on Win32: each report is one line of the debug output, and a failed
// system call is named with its error code and the system's words for it.
#include "platform/diagnostics.hpp"

#include <windows.h>

#include <string>

#include "platform/win32/failure.hpp"
#include "platform/win32/raise.hpp"
#include "platform/win32/text.hpp"

namespace platform::diagnostics {

void Report(std::u16string_view message) {
    std::wstring line = L"Vistrelle: ";
    line += win32::Wide(message);
    line += L"\n";
    ::OutputDebugStringW(line.c_str());
}

void Report(std::string_view asciiMessage) {
    Report(std::u16string(asciiMessage.begin(), asciiMessage.end()));
}

}  // namespace platform::diagnostics

namespace platform::win32 {

namespace {

// "0x80004005 (Unspecified error)": the code and the system's text for it, when it has one.
std::wstring Described(DWORD code) {
    wchar_t hex[16];
    ::wsprintfW(hex, L"0x%08lX", static_cast<unsigned long>(code));
    std::wstring text = hex;
    wchar_t* words = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    if (n && words) {
        std::wstring said(words, n);
        while (!said.empty() &&
               (said.back() == L'\n' || said.back() == L'\r' || said.back() == L' '))
            said.pop_back();
        text += L" (" + said + L")";
    }
    if (words) ::LocalFree(words);
    return text;
}

void ReportCall(const char* call, DWORD code) {
    std::wstring line(call, call + std::char_traits<char>::length(call));
    line += L" failed: " + Described(code);
    diagnostics::Report(U16(line));
}

}  // namespace

bool FailedCall(const char* call) {
    // Read before anything else can change it.
    const DWORD code = ::GetLastError();
    try {
        ReportCall(call, code);
    } catch (...) {
    }
    return false;
}

bool FailedCall(const char* call, HRESULT hr) {
    try {
        ReportCall(call, static_cast<DWORD>(hr));
    } catch (...) {
    }
    return false;
}

}  // namespace platform::win32

namespace platform::win32 {

void ReportEscaped(const char* event, const std::exception* e) {
    try {
        std::string line = std::string("the handler of ") + event + " ended by an exception: ";
        line += e ? e->what() : "not a std::exception";
        diagnostics::Report(line);
    } catch (...) {
    }
}

}  // namespace platform::win32

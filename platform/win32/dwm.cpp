// The desktop window manager's attributes (see dwm.hpp).
#include "platform/win32/dwm.hpp"

#include "platform/win32/failure.hpp"

namespace platform::win32 {

namespace {

// DWMWINDOWATTRIBUTE values and the corner preference, by number: older headers lack them.
constexpr DWORD kCloaked = 14;                 // DWMWA_CLOAKED, Windows 8 and later
constexpr DWORD kWindowCornerPreference = 33;  // DWMWA_WINDOW_CORNER_PREFERENCE, Windows 11
constexpr DWORD kDoNotRound = 1;               // DWMWCP_DONOTROUND

using AttributeCall = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);

// dwmapi.dll from the system folder, loaded once for the life of the process.
AttributeCall DwmEntry(const char* name) {
    static const HMODULE dwm =
        ::LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return dwm ? reinterpret_cast<AttributeCall>(
                     reinterpret_cast<void*>(::GetProcAddress(dwm, name)))
               : nullptr;
}

}  // namespace

void KeepSquareCorners(HWND window) {
    static const AttributeCall set = DwmEntry("DwmSetWindowAttribute");
    if (!set || !window) return;
    DWORD preference = kDoNotRound;
    const HRESULT hr = set(window, kWindowCornerPreference, &preference, sizeof(preference));
    // Before Windows 11 the attribute is unknown, and the corners are square anyway.
    if (FAILED(hr) && hr != E_INVALIDARG) FailedCall("DwmSetWindowAttribute(corners)", hr);
}

bool IsCloaked(HWND window) {
    static const AttributeCall get = DwmEntry("DwmGetWindowAttribute");
    DWORD cloaked = 0;
    return get && window && SUCCEEDED(get(window, kCloaked, &cloaked, sizeof(cloaked))) &&
           cloaked != 0;
}

}  // namespace platform::win32

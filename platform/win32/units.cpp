// Twips, the program's pixels and the screen's (see units.hpp).
#include "platform/win32/units.hpp"

#include <algorithm>
#include <cmath>

#include "platform/win32/failure.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/windows/frame_windows.hpp"

namespace platform::win32 {

namespace {

// GetDpiForSystem and GetDpiForWindow exist from Windows 10 1607 on; looked up at run time so
// that the program still starts on older systems, which report the screen's dpi instead.
template <class F>
F User32Entry(const char* name) {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                  : nullptr;
}

int ScreenDcDpi() {
    ScopedWindowDC screen(nullptr);
    return screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : kDesignDpi;
}

// Rounds to nearest, halves to even (nearbyint in the default rounding mode); empty beyond
// any screen.
std::optional<int> WholePixels(units::ScreenPixels pixels) {
    const double value = pixels.Value();
    if (!std::isfinite(value)) return std::nullopt;
    const double whole = std::nearbyint(value);
    if (!(whole >= -1e9 && whole <= 1e9)) return std::nullopt;
    return static_cast<int>(whole);
}

}  // namespace

int SaneDpi(long dpi) {
    // Windows offers 100 % to 500 % of 96; a value far outside is no screen's.
    if (dpi <= 0) return kDesignDpi;
    return static_cast<int>(std::clamp<long>(dpi, 24, 2400));
}

int SystemDpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto getDpiForSystem = User32Entry<GetDpiForSystemFn>("GetDpiForSystem");
    return SaneDpi(getDpiForSystem ? static_cast<long>(getDpiForSystem()) : ScreenDcDpi());
}

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Entry<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi ? SaneDpi(static_cast<long>(dpi)) : SystemDpi();
}

int FrameDpi() {
    // While the window is being created it has no dpi of its own yet.
    const PictureWindow& main = Windows().main;
    return main.Handle() && main.Dpi() > 0 ? main.Dpi() : SystemDpi();
}

std::optional<int> ToPixels(Twips twips, int dpi) {
    return WholePixels(units::OnScreen(twips, dpi));
}
std::optional<int> ToPixels(Twips twips) {
    return ToPixels(twips, FrameDpi());
}

Twips ToTwips(long pixels) {
    return units::TwipsOf(units::ScreenPixels(static_cast<double>(pixels)), FrameDpi());
}

std::optional<int> ToDevice(DesignPixels design) {
    return WholePixels(units::OnScreen(design, FrameDpi()));
}

DesignPixels ToDesign(long devicePixels) {
    return units::DesignOf(units::ScreenPixels(static_cast<double>(devicePixels)), FrameDpi());
}

std::optional<RECT> OuterFromClient(const TwipsRect& client, DWORD style, DWORD exStyle, int dpi) {
    const auto l = ToPixels(client.left, dpi), t = ToPixels(client.top, dpi);
    const auto w = ToPixels(client.width, dpi), h = ToPixels(client.height, dpi);
    if (!l || !t || !w || !h) return std::nullopt;
    RECT r{*l, *t, *l + *w, *t + *h};
    if (!::AdjustWindowRectEx(&r, style, FALSE, exStyle)) {
        FailedCall("AdjustWindowRectEx");
        return std::nullopt;
    }
    return r;
}

}  // namespace platform::win32

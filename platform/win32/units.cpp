// Twips and pixels (see units.hpp).
#include "platform/win32/units.hpp"

#include <cmath>

#include "platform/win32/scoped.hpp"

namespace platform::win32 {

std::optional<double> ScreenTwipsPerPixel(bool horizontal) {
    ScopedWindowDC screen(nullptr);
    if (!screen) return std::nullopt;
    const int dpi = ::GetDeviceCaps(screen.Get(), horizontal ? LOGPIXELSX : LOGPIXELSY);
    if (dpi <= 0) return std::nullopt;
    return 1440.0 / dpi;
}

std::optional<int> ToPixels(double twips, bool horizontal) {
    const std::optional<double> tpp = ScreenTwipsPerPixel(horizontal);
    if (!tpp || !std::isfinite(twips)) return std::nullopt;
    // nearbyint rounds in the default mode: to nearest, halves to even.
    const double pixels = std::nearbyint(twips / *tpp);
    if (!(pixels >= -1e9 && pixels <= 1e9)) return std::nullopt;
    return static_cast<int>(pixels);
}

std::optional<RECT> OuterFromClientTwips(double left, double top, double width, double height,
                                         DWORD style, DWORD exStyle) {
    const auto l = ToPixels(left, true), t = ToPixels(top, false);
    const auto w = ToPixels(width, true), h = ToPixels(height, false);
    if (!l || !t || !w || !h) return std::nullopt;
    RECT r{*l, *t, *l + *w, *t + *h};
    if (!::AdjustWindowRectEx(&r, style, FALSE, exStyle)) return std::nullopt;
    return r;
}

}  // namespace platform::win32

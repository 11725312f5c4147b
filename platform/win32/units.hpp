// The one place where the backend turns the program's twips into the screen's pixels and back.
#pragma once

#include <windows.h>

#include <optional>

namespace platform::win32 {

// Screen twips per pixel, from the screen's logical resolution.
std::optional<double> ScreenTwipsPerPixel(bool horizontal);

// Twips to whole pixels, rounding to nearest with halves to even; empty for a value that is
// not finite or lies beyond any screen.
std::optional<int> ToPixels(double twips, bool horizontal);

// Screen rectangle in pixels of a client area given in twips, grown to the outer rectangle of
// a window of that style.
std::optional<RECT> OuterFromClientTwips(double left, double top, double width, double height,
                                         DWORD style, DWORD exStyle);

}  // namespace platform::win32

// The picture window's paints come from its persistent image (drawing.cpp).
#pragma once

#include <windows.h>

namespace platform::win32 {

// Repaints part of the picture window's client area from its persistent image.
void PaintMainFromImage(HWND main, HDC dc, const RECT& area);

}  // namespace platform::win32

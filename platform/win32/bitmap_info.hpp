// How the backend describes its pixels to GDI: 32 bits per pixel (0xAARRGGBB in memory order
// B, G, R, A), rows from the top down, as the portable code keeps them.
#pragma once

#include <windows.h>

namespace platform::win32 {

inline BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // a negative height is GDI's sign for top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace platform::win32

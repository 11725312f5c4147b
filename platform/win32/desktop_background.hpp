// The desktop background under a window, painted into a DC of that window's client area.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Fills dc (covering window's client area) with the desktop background as the desktop shows it
// at the window's place on the screen.
bool PaintDesktopBackground(HWND window, HDC dc);
// Lets the decoded wallpaper go, after the desktop announced a new one: the next paint reads
// it again.
void ForgetWallpaper();

}  // namespace platform::win32

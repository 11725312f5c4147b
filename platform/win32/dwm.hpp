// What the program asks of the desktop window manager. Its entry points are looked up at run
// time: dwmapi.dll may be missing, and the attributes asked for exist only on newer systems.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Asks for square corners, which Windows 11 would otherwise round; nothing where the system
// does not know the attribute.
void KeepSquareCorners(HWND window);
// Whether the window manager keeps the window hidden although it is shown (cloaked, as
// Windows 11 does to some windows when the desktop is shown); false where it cannot say.
bool IsCloaked(HWND window);

}  // namespace platform::win32

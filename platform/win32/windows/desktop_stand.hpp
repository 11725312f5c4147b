// The frame stands on the desktop. Show desktop (Win+D, the corner of the task bar) raises the
// shell's desktop window over every ordinary window and gives it the foreground: the frame,
// which belongs to the desktop, is then put on it, without taking the focus and without ever
// becoming topmost. When another window comes to the foreground, the frame goes back under it.
// The foreground is followed by a window-event hook, so an idle frame costs nothing.
#pragma once

#include <windows.h>

#include "platform/win32/scoped.hpp"

namespace platform::win32 {

// The shell's desktop window, recognised by what it is: Progman (Windows 11 24H2 and later keep
// the icons and the wallpaper's WorkerW inside it), or a top-level WorkerW of the shell that
// holds the icons' SHELLDLL_DefView (Windows 10 and 11 before 24H2 move the view there).
bool IsShellDesktop(HWND window);

// Belongs to the picture window: follows the foreground while the window exists.
class DesktopStand {
  public:
    // Starts following the foreground; false when the system refuses the hook.
    bool Start();
    void Stop();
    // The window that has just come to the foreground.
    void Foreground(HWND window);

  private:
    ScopedWinEventHook hook_;
    bool standing_ = false;  // put on the shown desktop, until another window comes forward
};

}  // namespace platform::win32

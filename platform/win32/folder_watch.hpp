// The watch on the shown picture's folder, as the message loop sees it (folders.cpp).
#pragma once

#include <windows.h>

namespace platform::win32 {

// The change notification handle to wait on, or nullptr while no folder is watched.
HANDLE FolderWatchHandle();
// The handle was signalled: the watch is armed again and the program hears FolderChanged.
void FolderWatchSignalled();

}  // namespace platform::win32

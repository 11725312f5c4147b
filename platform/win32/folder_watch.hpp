// The watch on the shown picture's folder, as the message loop sees it (folders.cpp).
#pragma once

#include <windows.h>

namespace platform::win32 {

// The change notification handle to wait on, or nullptr while no folder is watched.
HANDLE FolderWatchHandle();
// The handle was signalled: the watch is armed again and the program hears FolderChanged.
void FolderWatchSignalled();
// The handle on the watched folder that its device events are registered for, or nullptr.
HANDLE FolderWatchDirectory();
// A WM_DEVICECHANGE the picture window received: a request to remove the watched folder's
// volume closes the watch at once (the picture stays), a request called off watches again,
// and a removal done ends the watch.
void FolderWatchDeviceEvent(WPARAM event, LPARAM data);

}  // namespace platform::win32

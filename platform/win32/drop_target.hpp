// The OLE drop target of the picture window (and of its shadow, which lies over it), which
// turns drags and drops into the picture window's events.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <ole2.h>

#include "platform/win32/scoped.hpp"

namespace platform::win32 {

// A new drop target that forwards to the program's event sink.
ComPtr<IDropTarget> NewDropTarget();

// RegisterDragDrop / RevokeDragDrop of a window whose drops are the picture window's.
bool RegisterFrameDropTarget(HWND window);
void RevokeFrameDropTarget(HWND window);

}  // namespace platform::win32

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

// Registers a new drop target for a window whose drops are the picture window's; the
// registration is revoked when the owner lets it go. Empty when RegisterDragDrop fails.
ScopedDropRegistration RegisterFrameDropTarget(HWND window);

}  // namespace platform::win32

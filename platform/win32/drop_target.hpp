// The picture window's OLE drop target, which turns drags and drops into program events.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <ole2.h>

#include "platform/win32/scoped.hpp"

namespace platform::win32 {

// A new drop target that forwards to the program's event sink.
ComPtr<IDropTarget> NewDropTarget();

// RegisterDragDrop / RevokeDragDrop for the picture window.
bool RegisterMainDropTarget(HWND main);
void RevokeMainDropTarget(HWND main);

}  // namespace platform::win32

// The OLE drop target of the picture window (and of its shadow, which lies over it), which
// turns drags and drops into the picture window's events.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <ole2.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/scoped.hpp"

namespace platform::win32 {

// The paths of one drop in order, copied out of the source's data; empty when they could not be
// read.
using DroppedFiles = std::optional<std::vector<std::u16string>>;

// The message that tells the picture window a drop waits for it.
inline constexpr UINT kDropWaitingMessage = WM_APP + 1;

// The drops on their way from the drop target to the program. A drop returns to its source at
// once (Explorer waits for Drop to return), and the picture is loaded from the picture window's
// own queue: each drop is kept here and a message posted for it. Owned by the picture window, so
// drops that never arrive go with it.
class WaitingDrops {
  public:
    // Keeps the drop (files is emptied) and posts `window` a message for it; false, with files as
    // they were, when the message cannot be posted.
    bool Post(HWND window, DroppedFiles& files);
    // Raises the oldest drop kept as the program's DragDrop event.
    void RaiseOldest();
    void Clear() { drops_.clear(); }

  private:
    std::deque<DroppedFiles> drops_;
};

// A new drop target that forwards to the program's event sink.
ComPtr<IDropTarget> NewDropTarget();

// Registers a new drop target for a window whose drops are the picture window's; the
// registration is revoked when the owner lets it go. Empty when RegisterDragDrop fails.
ScopedDropRegistration RegisterFrameDropTarget(HWND window);

}  // namespace platform::win32

// The picture window's popup menu, for the window that tracks it (menus.cpp).
#pragma once

#include <windows.h>

namespace platform::win32 {

// The popup menu, built on first use.
HMENU PopupMenuHandle();

}  // namespace platform::win32

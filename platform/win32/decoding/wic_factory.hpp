// WIC's imaging factory, shared by the picture source, the wallpaper decode, the benchmark and
// the backend's tests.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <wincodec.h>

#include "platform/win32/scoped.hpp"

namespace platform::win32 {

// The factory, or empty when it cannot be had. Needs COM on the calling thread.
ComPtr<IWICImagingFactory> WicFactory();

}  // namespace platform::win32

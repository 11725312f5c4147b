// The wallpaper as the caption's backdrop draws it under Wine (desktop_background.cpp): the
// whole file through the backend's decode chain, kept whole because it is drawn many times,
// stretched or tiled.
#pragma once

#include <optional>
#include <string>

#include "imaging/decoding/picture_rows.hpp"

namespace platform::win32 {

// A whole picture file at its stored size (not turned), premultiplied 0xAARRGGBB. Empty when
// the file cannot be opened or decoded. Needs COM on the calling thread. May throw
// std::bad_alloc.
std::optional<pictures::Bitmap> DecodeWhole(const std::wstring& path);

}  // namespace platform::win32

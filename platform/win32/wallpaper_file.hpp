// The desktop's wallpaper file, decoded whole: the wallpaper is drawn many times, stretched or
// tiled, so it is kept decoded, unlike the frame's picture, which is streamed.
#pragma once

#include <optional>
#include <string>

#include "platform/pictures.hpp"

namespace platform::win32 {

// The first frame of a JPEG, PNG, GIF or BMP file at its natural size, pixels 0xAARRGGBB with
// straight alpha. Empty when the file cannot be read, its header is not understood or claims
// more than the decoding budget, or WIC fails. Needs COM on the calling thread. May throw
// std::bad_alloc.
std::optional<pictures::Bitmap> LoadPictureFile(const std::wstring& path);

}  // namespace platform::win32

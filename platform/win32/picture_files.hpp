// Reading picture files and decoding them with WIC into 32-bit BGRA bitmaps, within the
// decoding budget that the picture header reader checks before any decoder runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pictures.hpp"

namespace platform::win32 {

// Largest picture file read into memory.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{1} << 30;

// The whole content of a file; empty for a folder, a file larger than maxBytes, or a failed
// read. May throw std::bad_alloc.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path,
                                                       std::uint64_t maxBytes);

// The first frame of a JPEG, PNG, GIF or BMP file at its natural size, pixels 0xAARRGGBB with
// straight alpha. Empty when the file cannot be read, its header is not understood or claims
// more than the budget, or WIC fails. Needs COM on the calling thread. May throw std::bad_alloc.
std::optional<pictures::Bitmap> LoadPictureFile(const std::wstring& path);

}  // namespace platform::win32

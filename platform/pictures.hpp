// The hidden picture holder of the picture window: it receives a picture file at its natural
// size and keeps its pixels until they are released.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/types.hpp"

namespace platform::pictures {

// 32-bit pixels 0xAARRGGBB, rows top to bottom, no padding.
struct Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// Size of the holder before any picture was loaded, in pixels.
inline constexpr PixelSize kDesignSize{113, 65};

// Loads a picture file (JPEG, BMP, GIF first frame, PNG) into the holder, which then takes the
// picture's natural size. A file that cannot be loaded, or whose header claims more than the
// decoding budget, leaves the holder as it was and returns false.
bool Load(std::u16string_view path);
// Natural size of what the holder holds, in pixels (its scale width and height).
std::optional<PixelSize> ScaleSize();
// The pixels held, or nullptr when there are none.
const Bitmap* Pixels();
// Frees the pixels; the holder keeps its size.
bool Release();

}  // namespace platform::pictures

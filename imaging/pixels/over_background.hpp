// Drawing a picture's transparent parts over a background colour. The rows a decoder hands
// over carry premultiplied alpha, so a pixel over the background is the pixel plus what the
// background shows through it: src + (1 - alpha) x background, channel by channel.
#pragma once

#include <cstdint>
#include <span>

namespace platform::pictures {

// One premultiplied pixel 0xAARRGGBB over an opaque background 0x00RRGGBB: an opaque pixel
// stays as it is, a transparent one becomes the background. The result is opaque.
std::uint32_t OverBackground(std::uint32_t premultiplied, std::uint32_t background);

// Every pixel of `pixels` put over the background, in place.
void PutOverBackground(std::span<std::uint32_t> pixels, std::uint32_t background);

}  // namespace platform::pictures

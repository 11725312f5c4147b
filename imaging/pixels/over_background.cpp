#include "imaging/pixels/over_background.hpp"

namespace platform::pictures {

std::uint32_t OverBackground(std::uint32_t premultiplied, std::uint32_t background) {
    const std::uint32_t a = premultiplied >> 24;
    if (a == 255) return premultiplied;
    const std::uint32_t through = 255 - a;
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t src = (premultiplied >> shift) & 0xFF;
        const std::uint32_t bg = (background >> shift) & 0xFF;
        // A premultiplied channel is at most its alpha, so the sum stays within 255 for
        // well-formed pixels; a broken one is held at 255.
        const std::uint32_t v = src + (bg * through + 127) / 255;
        out |= (v > 255 ? 255 : v) << shift;
    }
    return out;
}

void PutOverBackground(std::span<std::uint32_t> pixels, std::uint32_t background) {
    for (std::uint32_t& p : pixels) p = OverBackground(p, background);
}

}  // namespace platform::pictures

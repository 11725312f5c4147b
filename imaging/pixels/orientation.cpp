#include "imaging/pixels/orientation.hpp"

#include <cstddef>

namespace orientation {

using platform::pictures::Bitmap;
using platform::pictures::TurnsAQuarter;

platform::PixelSize Turned(const platform::PixelSize& size, Orientation o) {
    if (TurnsAQuarter(o)) return {size.height, size.width};
    return size;
}

std::optional<Bitmap> Turned(const Bitmap& stored, Orientation o) {
    const std::int32_t w = stored.width, h = stored.height;
    if (w < 0 || h < 0 || stored.pixels.size() != std::size_t(w) * std::size_t(h))
        return std::nullopt;
    Bitmap out;
    out.width = TurnsAQuarter(o) ? h : w;
    out.height = TurnsAQuarter(o) ? w : h;
    out.pixels.resize(stored.pixels.size());
    const std::size_t dw = std::size_t(out.width);
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint32_t* row = stored.pixels.data() + std::size_t(y) * std::size_t(w);
        for (std::int32_t x = 0; x < w; ++x) {
            std::int32_t dx = x, dy = y;
            switch (o) {
                case 2:
                    dx = w - 1 - x;
                    break;
                case 3:
                    dx = w - 1 - x;
                    dy = h - 1 - y;
                    break;
                case 4:
                    dy = h - 1 - y;
                    break;
                case 5:
                    dx = y;
                    dy = x;
                    break;
                case 6:
                    dx = h - 1 - y;
                    dy = x;
                    break;
                case 7:
                    dx = h - 1 - y;
                    dy = w - 1 - x;
                    break;
                case 8:
                    dx = y;
                    dy = w - 1 - x;
                    break;
                default:
                    break;
            }
            out.pixels[std::size_t(dy) * dw + std::size_t(dx)] = row[x];
        }
    }
    return out;
}

}  // namespace orientation

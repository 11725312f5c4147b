// A picture's pixels as the program passes them around: a size, a bitmap, and the receiver of
// a decoder's rows, which takes them one at a time so that nobody has to hold a full-size copy.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/decoding/picture_orientation.hpp"

namespace platform {

struct PixelSize {
    double width = 0, height = 0;
    friend constexpr bool operator==(const PixelSize&, const PixelSize&) = default;
};

}  // namespace platform

namespace platform::pictures {

// 32-bit pixels 0xAARRGGBB, rows top to bottom, no padding.
struct Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// Receives a picture's rows as the file stores them: first their size and how they are to be
// turned to show the scene upright, then every row, top to bottom.
class RowSink {
  public:
    virtual ~RowSink() = default;
    // The stored size of the rows that follow, and the orientation the file records for them
    // (kUpright when it records none); false stops the reading before any row.
    virtual bool Begin(std::int32_t width, std::int32_t height, Orientation orientation) = 0;
    // One row of `width` pixels 0xAARRGGBB with premultiplied alpha: a transparent part reads
    // as black until it is drawn over a background. Must not throw.
    virtual void Row(std::span<const std::uint32_t> row) = 0;
};

}  // namespace platform::pictures

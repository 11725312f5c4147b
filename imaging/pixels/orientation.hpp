// Showing a picture the way its camera meant it: the stored pixels turned and mirrored by
// the orientation recorded in the file. Only the small, already scaled picture is turned;
// the decoder and the scaler keep working on the stored rows.
#pragma once

#include <cstdint>
#include <optional>

#include "imaging/decoding/picture_orientation.hpp"
#include "imaging/decoding/picture_rows.hpp"

namespace orientation {

using platform::pictures::Orientation;

// A size turned by `o`: width and height swapped for 5 to 8. Swapping twice is no swap, so
// the same call turns a displayed size back into the stored one.
platform::PixelSize Turned(const platform::PixelSize& size, Orientation o);

// The bitmap as displayed: stored pixel (x, y) of a W x H bitmap lands at
//   1 (x, y)  2 (W-1-x, y)  3 (W-1-x, H-1-y)  4 (x, H-1-y)
//   5 (y, x)  6 (H-1-y, x)  7 (H-1-y, W-1-x)  8 (y, W-1-x)
// of a W x H bitmap for 1 to 4 and an H x W one for 5 to 8. Any other value is taken as 1.
// Empty when the bitmap's pixels do not match its size.
std::optional<platform::pictures::Bitmap> Turned(const platform::pictures::Bitmap& stored,
                                                 Orientation o);

}  // namespace orientation

// Scaling a picture to its display size. Shrinking averages every source pixel a destination
// pixel covers (a box filter, so fine patterns turn into their mean colour rather than
// aliasing); enlarging interpolates linearly. Both axes are handled apart, row by row, so the
// working memory is one destination image and one row.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/pictures.hpp"

namespace scaling {

// Largest destination accepted, per side and in all.
inline constexpr std::int32_t kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

// The source scaled to width x height; empty when either image is empty or the destination
// is beyond the limits above.
std::optional<platform::pictures::Bitmap> ScaleAveraged(const platform::pictures::Bitmap& source,
                                                        std::int32_t width, std::int32_t height);

}  // namespace scaling

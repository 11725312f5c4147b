// The figures of the picture window's size, apart from any window: the default display size
// of a picture and the window size around it.
#pragma once

#include <cstdint>
#include <optional>

#include "app/conversions.hpp"
#include "platform/types.hpp"

namespace sizing {

// Display size at the default preset, pixels.
inline constexpr double kLandscapeWidth = 195;
inline constexpr double kPortraitHeight = 144;
// The window is this many twips wider and higher than the picture.
inline constexpr std::int32_t kWindowMargin = 30;

struct DefaultDisplay {
    // Empty where a figure cannot be computed (no size, zero side, overflow): the caller then
    // keeps the previous value.
    std::optional<std::int32_t> picWidth, picHeight;  // twips
    mainMod::VbBool portrait = mainMod::kFalse;
};

// The default display size of a picture of natural size `size` (pixels) on a screen with the
// given twips per pixel. A picture narrower than it is tall is portrait; a square one is not.
DefaultDisplay ComputeDefaultDisplay(const std::optional<platform::PixelSize>& size,
                                     std::optional<double> twipsPerPixelX,
                                     std::optional<double> twipsPerPixelY);

// The window's side for a picture side: 30 twips more, as a single-precision value; empty
// when the sum leaves the 32-bit range.
std::optional<float> AddMargin(std::int32_t pictureTwips);

}  // namespace sizing

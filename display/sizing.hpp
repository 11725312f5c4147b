// The figures of the picture window's size, apart from any window: the default display size
// of a picture and the window size around it.
#pragma once

#include <cstdint>
#include <optional>

#include "app/conversions.hpp"
#include "platform/types.hpp"

namespace sizing {

// Display size at the default preset.
inline constexpr units::DesignPixels kLandscapeWidth{195};
inline constexpr units::DesignPixels kPortraitHeight{144};
// The window is this much wider and higher than the picture.
inline constexpr units::Whole<units::Twips> kWindowMargin{30};

// The size presets, as SizeMode holds them and the size menu lists them.
inline constexpr std::int16_t kSmall = 0;
inline constexpr std::int16_t kDefault = 1;
inline constexpr std::int16_t kLarge = 2;
// The small preset divides the default window's sides by this, the large one multiplies them.
inline constexpr double kPresetFactor = 1.5;

struct DefaultDisplay {
    // Empty where a figure cannot be computed (no size, zero side, overflow): the caller then
    // keeps the previous value.
    std::optional<units::Whole<units::Twips>> picWidth, picHeight;
    mainMod::VbBool portrait = mainMod::kFalse;
};

// The default display size of a picture of natural size `size` (pixels) on a screen with the
// given twips per pixel. A picture narrower than it is tall is portrait; a square one is not.
DefaultDisplay ComputeDefaultDisplay(const std::optional<platform::PixelSize>& size,
                                     std::optional<units::TwipsPerPixel> twipsPerPixelX,
                                     std::optional<units::TwipsPerPixel> twipsPerPixelY);

// The window's side for a picture side: kWindowMargin more, as a single-precision value; empty
// when the sum leaves the 32-bit range.
std::optional<units::Twips> AddMargin(units::Whole<units::Twips> picture);

// A side of the default-sized window at a preset, before rounding; any other preset leaves
// it as it is.
units::Twips AtPreset(units::Twips side, std::int16_t preset);

}  // namespace sizing

#include "display/decode_scale.hpp"

#include "app/conversions.hpp"
#include "display/sizing.hpp"

namespace decode_scale {

namespace {

// The size menu's large preset applied to one side of the default display, in pixels.
std::optional<double> LargeSide(std::optional<std::int32_t> pictureTwips, double twipsPerPixel) {
    if (!pictureTwips) return std::nullopt;
    const auto window = sizing::AddMargin(*pictureTwips);
    if (!window) return std::nullopt;
    const auto large = mainMod::ToInt32(sizing::AtPreset(*window, sizing::kLarge));
    if (!large) return std::nullopt;
    const auto pixels = mainMod::ToInt32(*large / twipsPerPixel);
    if (!pixels) return std::nullopt;
    return static_cast<double>(*pixels);
}

}  // namespace

std::optional<platform::PixelSize> LargestDisplay(const platform::PixelSize& natural,
                                                  std::optional<double> tppX,
                                                  std::optional<double> tppY,
                                                  std::optional<double> deviceTppX,
                                                  std::optional<double> deviceTppY) {
    const auto usable = [](std::optional<double> t) { return t && *t > 0; };
    if (!usable(tppX) || !usable(tppY) || !usable(deviceTppX) || !usable(deviceTppY) ||
        !(natural.width > 0) || !(natural.height > 0))
        return std::nullopt;
    const sizing::DefaultDisplay d = sizing::ComputeDefaultDisplay(natural, tppX, tppY);
    const auto width = LargeSide(d.picWidth, *deviceTppX);
    const auto height = LargeSide(d.picHeight, *deviceTppY);
    if (!width || !height) return std::nullopt;
    return platform::PixelSize{*width, *height};
}

}  // namespace decode_scale

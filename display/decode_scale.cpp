#include "display/decode_scale.hpp"

#include <cmath>

#include "app/conversions.hpp"
#include "display/sizing.hpp"

namespace decode_scale {

namespace {

// One side of the display, in the screen's pixels.
std::optional<double> Side(std::optional<std::int32_t> pictureTwips,
                           std::optional<std::int16_t> chosen, double deviceTwipsPerPixel) {
    if (!pictureTwips) return std::nullopt;
    double twips = *pictureTwips;
    if (chosen) {
        const auto window = sizing::AddMargin(*pictureTwips);
        if (!window) return std::nullopt;
        // The window holds whole pixels: its size is read back as such.
        const double readBack = std::nearbyint(*window / deviceTwipsPerPixel) * deviceTwipsPerPixel;
        const auto scaled = mainMod::ToInt32(sizing::AtPreset(readBack, *chosen));
        if (!scaled) return std::nullopt;
        twips = *scaled;
    }
    const auto pixels = mainMod::ToInt32(twips / deviceTwipsPerPixel);
    if (!pixels || *pixels < 1) return std::nullopt;
    return static_cast<double>(*pixels);
}

}  // namespace

std::optional<platform::PixelSize> DisplayAt(const platform::PixelSize& natural,
                                             std::optional<std::int16_t> chosen,
                                             std::optional<double> tppX, std::optional<double> tppY,
                                             std::optional<double> deviceTppX,
                                             std::optional<double> deviceTppY) {
    const auto usable = [](std::optional<double> t) { return t && *t > 0; };
    if (!usable(tppX) || !usable(tppY) || !usable(deviceTppX) || !usable(deviceTppY) ||
        !(natural.width > 0) || !(natural.height > 0))
        return std::nullopt;
    const sizing::DefaultDisplay d = sizing::ComputeDefaultDisplay(natural, tppX, tppY);
    const auto width = Side(d.picWidth, chosen, *deviceTppX);
    const auto height = Side(d.picHeight, chosen, *deviceTppY);
    if (!width || !height) return std::nullopt;
    return platform::PixelSize{*width, *height};
}

}  // namespace decode_scale

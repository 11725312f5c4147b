#include "display/decode_scale.hpp"

#include <cmath>

#include "app/conversions.hpp"
#include "display/sizing.hpp"

namespace decode_scale {

namespace {

// One side of the display, in the screen's pixels.
std::optional<double> Side(std::optional<units::Whole<units::Twips>> picture,
                           std::optional<std::int16_t> chosen, units::TwipsPerScreenPixel device) {
    if (!picture) return std::nullopt;
    units::Twips twips = *picture;
    if (chosen) {
        const auto window = sizing::AddMargin(*picture);
        if (!window) return std::nullopt;
        // The window holds whole pixels: its size is read back as such.
        const units::Twips readBack =
            units::ScreenPixels(std::nearbyint((*window / device).Value())) * device;
        const auto scaled = mainMod::ToInt32(sizing::AtPreset(readBack, *chosen));
        if (!scaled) return std::nullopt;
        twips = *scaled;
    }
    const auto pixels = mainMod::ToInt32(twips / device);
    if (!pixels || pixels->Value() < 1) return std::nullopt;
    return static_cast<double>(pixels->Value());
}

}  // namespace

std::optional<platform::PixelSize> DisplayAt(const platform::PixelSize& natural,
                                             std::optional<std::int16_t> chosen,
                                             std::optional<units::TwipsPerPixel> tppX,
                                             std::optional<units::TwipsPerPixel> tppY,
                                             std::optional<units::TwipsPerScreenPixel> deviceTppX,
                                             std::optional<units::TwipsPerScreenPixel> deviceTppY) {
    const auto usable = [](const auto& t) { return t && t->Value() > 0; };
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

#include "display/sizing.hpp"

#include <limits>

namespace sizing {

using mainMod::ToInt32;

DefaultDisplay ComputeDefaultDisplay(const std::optional<platform::PixelSize>& size,
                                     std::optional<units::TwipsPerPixel> tppX,
                                     std::optional<units::TwipsPerPixel> tppY) {
    DefaultDisplay d;
    // An unreadable size counts as portrait, as an unanswerable comparison takes the first
    // branch; the figures themselves then cannot be computed.
    const bool portrait = !size || size->width < size->height;
    if (portrait) {
        if (size && tppX)
            d.picWidth = ToInt32(kPortraitHeight * size->width / size->height * *tppX);
        if (tppY) d.picHeight = ToInt32(kPortraitHeight * *tppY);
        d.portrait = mainMod::kTrue;
    } else {
        if (tppY) d.picHeight = ToInt32(kLandscapeWidth * size->height / size->width * *tppY);
        if (tppX) d.picWidth = ToInt32(kLandscapeWidth * *tppX);
        d.portrait = mainMod::kFalse;
    }
    return d;
}

std::optional<units::Twips> AddMargin(units::Whole<units::Twips> picture) {
    if (picture.Value() > std::numeric_limits<std::int32_t>::max() - kWindowMargin.Value())
        return std::nullopt;
    return units::Twips(static_cast<float>((picture + kWindowMargin).Value()));
}

units::Twips AtPreset(units::Twips side, std::int16_t preset) {
    if (preset == kSmall) return side / kPresetFactor;
    if (preset == kLarge) return side * kPresetFactor;
    return side;
}

}  // namespace sizing

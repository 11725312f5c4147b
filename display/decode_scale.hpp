// How many pixels of a picture the frame needs: those of the display size it is shown at, on
// the screen it stands on. A decoder may shrink the picture while decoding as far as that
// (libjpeg-turbo does, to an eighth of its size or more) for a fraction of the work and memory
// of the whole; the picture is then averaged down to its display size once.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/types.hpp"

namespace decode_scale {

// The display size of the picture in the screen's own pixels, as the frame paints it: with no
// `chosen` size, the default display size a new picture comes at (195 pixels for the long side
// of a landscape picture, 144 for the height of a portrait one); with a size menu choice, that
// size's window (the default display plus the 30-twip margin, as the window gives it back in
// whole pixels) scaled by the preset factor, as the size menu computes it. The sizes are
// reckoned in the program's twips per pixel, the result is in the screen's pixels. Empty when
// the twips per pixel or the size cannot be used.
std::optional<platform::PixelSize> DisplayAt(const platform::PixelSize& natural,
                                             std::optional<std::int16_t> chosen,
                                             std::optional<units::TwipsPerPixel> twipsPerPixelX,
                                             std::optional<units::TwipsPerPixel> twipsPerPixelY,
                                             std::optional<units::TwipsPerScreenPixel> deviceX,
                                             std::optional<units::TwipsPerScreenPixel> deviceY);

}  // namespace decode_scale

// How many pixels of a picture the frame needs: those of the largest display size it can show
// the picture at, on the screen it stands on. A decoder may shrink the picture while decoding
// as far as that (libjpeg-turbo does, to an eighth of its size or more) for a fraction of the
// work and memory of the whole; the picture is then averaged down to its display size.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/types.hpp"

namespace decode_scale {

// The display size of the picture at the large preset: the default display size (195 pixels
// for the long side of a landscape picture, 144 for the height of a portrait one), plus the
// window's 30-twip margin, times the preset factor, as the size menu computes it. The sizes
// are reckoned in the program's twips per pixel, the result is in the screen's own pixels.
// Empty when the twips per pixel or the size cannot be used.
std::optional<platform::PixelSize> LargestDisplay(const platform::PixelSize& natural,
                                                  std::optional<double> twipsPerPixelX,
                                                  std::optional<double> twipsPerPixelY,
                                                  std::optional<double> deviceTwipsPerPixelX,
                                                  std::optional<double> deviceTwipsPerPixelY);

}  // namespace decode_scale

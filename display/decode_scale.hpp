// How far a picture may be shrunk while it is decoded. Decoders such as Windows' JPEG decoder
// can hand over a picture at 1/2, 1/4 or 1/8 of its size for a fraction of the work and memory
// of the full size. The picture is then still averaged down to its display size, so a
// reduction is only taken while the reduced picture keeps at least twice the pixels of the
// largest display size on both axes: what is shown then looks the same whichever way the
// picture was decoded.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/types.hpp"

namespace decode_scale {

// The reductions offered, in the order they are tried.
inline constexpr std::int32_t kReductions[] = {8, 4, 2, 1};

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

// The largest of 8, 4, 2 and 1 whose reduced picture (each side divided and rounded up) is
// at least twice `display` on both axes; 1 when none is.
std::int32_t ChooseReduction(const platform::PixelSize& natural,
                             const platform::PixelSize& display);

// Both steps at once; 1 whenever the largest display size cannot be known.
std::int32_t ReductionFor(const std::optional<platform::PixelSize>& natural,
                          std::optional<double> twipsPerPixelX,
                          std::optional<double> twipsPerPixelY,
                          std::optional<double> deviceTwipsPerPixelX,
                          std::optional<double> deviceTwipsPerPixelY);

}  // namespace decode_scale

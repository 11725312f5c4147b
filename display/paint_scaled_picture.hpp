// Painting the loaded picture, scaled to its display size with an averaging filter, into the
// top-left corner of the picture window's persistent image, which the caller has cleared.
#pragma once

namespace mainMod {

void PaintScaledPicture();

}  // namespace mainMod

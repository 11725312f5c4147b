// The picture holder imgMain. It keeps what the frame needs to paint its picture at every size
// choice without the file: the picture's natural size as displayed, and one copy of it, turned
// upright, at the pixels of the largest display on the frame's screen (the large size choice),
// never more than the picture's own. For a photo that is about 0.25 MB at 96 dpi and 1 MB at
// 192 dpi. A new picture replaces what it keeps only once it has been decoded whole: a file
// that is gone, refused or damaged leaves the holder, and so the painting, as it was. The file
// is let go as soon as its decoding ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "imaging/decoding/picture_rows.hpp"
#include "platform/types.hpp"

namespace picture_holder {

// The size of the copy kept of a picture of `natural` pixels for a largest display of
// `largest` pixels: the largest display, or the picture's own size when it is not larger on
// both axes. Empty when either size is empty.
std::optional<platform::PixelSize> KeptSize(const platform::PixelSize& natural,
                                            const platform::PixelSize& largest);

// Loads the picture file at `path` into the holder. False, the holder unchanged, when the
// file cannot be opened or decoded whole.
bool LoadPicture(std::u16string_view path);

// The natural size of the picture held, as displayed; the design size while none is.
platform::PixelSize ScaleSize();

// The copy kept, scaled to width x height (averaging down, linear up); empty while no picture
// is held or when the size is beyond the scaler's limits.
std::optional<platform::pictures::Bitmap> ScaledTo(std::int32_t width, std::int32_t height);

// Converts a bitmap made from the copy kept to the colours of the display the frame stands on,
// when the picture embeds a colour profile other than sRGB; else leaves it as it is.
void InDisplayColours(platform::pictures::Bitmap& bitmap);

// After a move to a screen of another scale: the copy kept at the new screen's pixels. A
// larger copy is decoded again from `path` when the file is there and the copy enlarged when
// it is not; a smaller one is reduced from the copy.
void FitToScreen(std::u16string_view path);

}  // namespace picture_holder

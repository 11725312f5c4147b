// The hidden picture holder of the picture window: it receives a picture file at its natural
// size and keeps a decoder for it, which streams the picture's rows on demand, until it is
// released. No full-size copy of the picture is kept: the rows go straight to whoever scales
// them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/picture_orientation.hpp"
#include "platform/picture_rows.hpp"
#include "platform/types.hpp"

namespace platform::pictures {

// Size of the holder before any picture was loaded, in pixels.
inline constexpr PixelSize kDesignSize{113, 65};

// Loads a picture file into the holder, which then takes the picture's natural size: JPEG,
// PNG, GIF and TIFF (first frame), BMP, icons and cursors (their largest image), and any other
// format a system decoder takes. A file that cannot be loaded, or whose header (or, for a
// format this program does not read itself, the decoder) claims more than the decoding
// budget, leaves the holder as it was and returns false.
bool Load(std::u16string_view path);
// Natural size of what the holder holds as it is displayed, in pixels (its scale width and
// height): the stored size, with width and height swapped when the file's orientation turns
// the picture a quarter.
std::optional<PixelSize> ScaleSize();
// Streams the picture held to the sink, once after each load: a JPEG shrunk while decoding to
// the smallest eighth of its size that still has at least `minimum` pixels (a size as
// displayed) on both axes, any other picture at its natural size (the rows are always the
// stored ones, not yet turned), so Begin tells the size that comes. False when the holder is
// empty, a row could not be decoded (the rows given until then stay given) or the sink
// refused.
bool ReadRows(const PixelSize& minimum, RowSink& sink);
// Drops the decoder and whatever it holds of the file; the holder keeps its size.
bool Release();

}  // namespace platform::pictures

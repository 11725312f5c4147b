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
#include "platform/types.hpp"

namespace platform::pictures {

// 32-bit pixels 0xAARRGGBB, rows top to bottom, no padding.
struct Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// Size of the holder before any picture was loaded, in pixels.
inline constexpr PixelSize kDesignSize{113, 65};

// Receives a picture's rows as the file stores them: first their size and how they are to be
// turned to show the scene upright, then every row, top to bottom.
class RowSink {
  public:
    virtual ~RowSink() = default;
    // The stored size of the rows that follow, and the orientation the file records for them
    // (kUpright when it records none); false stops the reading before any row.
    virtual bool Begin(std::int32_t width, std::int32_t height, Orientation orientation) = 0;
    // One row of `width` pixels 0xAARRGGBB with premultiplied alpha: a transparent part reads
    // as black until it is drawn over a background.
    virtual void Row(std::span<const std::uint32_t> row) = 0;
};

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
// Streams the picture held to the sink. `reduction` (1, 2, 4 or 8) asks for the picture
// shrunk that many times on each side where the decoder can do it while decoding (the rows
// are always the stored ones, not yet turned); a decoder
// that cannot streams the natural size, so Begin tells the size that comes. False when the
// holder is empty, a row could not be decoded (the rows given until then stay given) or the
// sink refused.
bool ReadRows(std::int32_t reduction, RowSink& sink);
// Drops the decoder and whatever it holds of the file; the holder keeps its size.
bool Release();

}  // namespace platform::pictures

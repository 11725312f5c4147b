// Picture files opened for decoding. The program keeps what it shows itself (display/
// picture_holder.hpp); the backend only opens a file, tells its size and streams its rows
// once, and lets the file go when the opened picture goes.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "imaging/decoding/picture_orientation.hpp"
#include "imaging/decoding/picture_rows.hpp"
#include "platform/types.hpp"

namespace platform::pictures {

// Size of the holder before any picture was loaded, in pixels.
inline constexpr PixelSize kDesignSize{113, 65};

// A picture file opened for decoding, within the decoding budget. Keeping it keeps the file
// open; the decoder's work happens in ReadRows.
class PictureFile {
  public:
    virtual ~PictureFile() = default;
    // The natural size as displayed, in pixels: the stored size, with width and height swapped
    // when the file's orientation turns the picture a quarter.
    virtual PixelSize NaturalSize() const = 0;
    // Streams the picture's rows to the sink, once: a JPEG shrunk while decoding to the
    // smallest eighth of its size that still has at least `minimum` pixels (a size as
    // displayed) on both axes, any other picture at its natural size (the rows are always the
    // stored ones, not yet turned), so Begin tells the size that comes. False when a row
    // could not be decoded (the rows given until then stay given) or the sink refused.
    virtual bool ReadRows(const PixelSize& minimum, RowSink& sink) = 0;
    // The colour profile the file embeds, checked as bytes (imaging/colour/icc_chunks.hpp): empty
    // when it embeds none or one that failed the checks (which the backend reports).
    virtual std::vector<std::uint8_t> ColourProfile() const { return {}; }
};

// Opens a picture file: JPEG, PNG, GIF and TIFF (first frame), BMP, icons and cursors (their
// largest image), and any other format a system decoder takes. Empty when the file cannot be
// opened, or its header (or, for a format this program does not read itself, the decoder)
// claims more than the decoding budget.
std::unique_ptr<PictureFile> Open(std::u16string_view path);

}  // namespace platform::pictures

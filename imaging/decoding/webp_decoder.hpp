// WebP files decoded by libwebp, for the picture and the wallpaper alike. The decoder takes the
// whole file in memory (libwebp reads a WebP's chunks wherever they stand), learns from its
// container the canvas's size, whether it is an animation and the orientation of its Exif
// chunk, and then hands over the rows as premultiplied 0xAARRGGBB: a still picture, lossy or
// lossless, shrunk while decoding by libwebp's own scaler to the size the caller needs; an
// animation's first frame as its canvas shows it, at the canvas's size.
//
// A file cut short or damaged anywhere before its picture's end fails: a picture is never shown
// half decoded. No other decoder is to try a file this one fails.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/decoding/picture_orientation.hpp"
#include "imaging/decoding/picture_rows.hpp"
#include "imaging/decoding/whole_file_decoder.hpp"

namespace platform::webp {

// The stored size a still picture of width x height pixels is decoded at for a caller that
// needs at least `minimum` pixels on each axis: shrunk by one factor on both axes, each side
// rounded up, never below 1 and never enlarged.
struct Scaled {
    std::uint32_t width = 0, height = 0;
    friend constexpr bool operator==(const Scaled&, const Scaled&) = default;
};
Scaled ScaledSize(std::uint32_t width, std::uint32_t height, const PixelSize& minimum);

// The orientation an EXIF chunk records: its TIFF structure, after the "Exif\0\0" of a JPEG
// segment that some writers put first.
pictures::Orientation ChunkOrientation(std::span<const std::uint8_t> chunk);

class Decoder final : public pictures::WholeFileDecoder {
  public:
    using WholeFileDecoder::WholeFileDecoder;
    // Once the header is read: whether the file is an animation.
    bool Animated() const { return animated_; }

  private:
    // The container: its canvas's size, its flags and the orientation of its Exif chunk.
    bool ReadFormatHeader() override;
    // A still picture at ScaledSize(minimum), an animation's first frame composited on its
    // canvas.
    bool ReadFormatRows(const PixelSize& minimum, pictures::RowSink& sink) override;
    bool ReadAnimation(pictures::RowSink& sink);

    bool animated_ = false;
};

}  // namespace platform::webp

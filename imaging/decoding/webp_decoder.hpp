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
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "imaging/decoding/picture_orientation.hpp"
#include "imaging/decoding/picture_rows.hpp"

namespace platform::webp {

// The stored size a still picture of width x height pixels is decoded at for a caller that
// needs at least `minimum` pixels on each axis: shrunk by one factor on both axes, each side
// rounded up, never below 1 and never enlarged.
struct Scaled {
    std::uint32_t width = 0, height = 0;
    friend constexpr bool operator==(const Scaled&, const Scaled&) = default;
};
Scaled ScaledSize(std::uint32_t width, std::uint32_t height, const PixelSize& minimum);

class Decoder {
  public:
    explicit Decoder(std::vector<std::uint8_t> file);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Reads the container: false, with the problem, when it is cut short or broken or its
    // canvas is beyond the decoding budget.
    bool ReadHeader();
    // Once the header is read: the canvas's size, whether it is an animation, and the
    // orientation its Exif chunk records (kUpright without one).
    std::uint32_t Width() const;
    std::uint32_t Height() const;
    bool Animated() const;
    pictures::Orientation RecordedOrientation() const;
    // The whole file, as given.
    std::span<const std::uint8_t> File() const;

    // Streams the rows to the sink, once: a still picture at ScaledSize(minimum), an
    // animation's first frame composited on its canvas. False, with the problem, when the sink
    // refuses the size or the picture turns out cut short or damaged.
    bool ReadRows(const PixelSize& minimum, pictures::RowSink& sink);

    // Why the last step failed: for a report.
    const std::string& Problem() const;

    struct State;

  private:
    std::unique_ptr<State> state_;
};

}  // namespace platform::webp

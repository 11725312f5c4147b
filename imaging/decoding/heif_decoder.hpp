// HEIF files (HEIC through libde265, AVIF through dav1d) decoded by libheif from the file's
// bytes in memory: the primary image, turned, mirrored and cropped as its irot, imir and clap
// boxes say (so the rows come upright and the size is the one shown), with its alpha, at 8 bits
// a channel whatever the file's depth. libheif hands over its planes as they are decoded
// (YCbCr or monochrome, 8 to 16 bits); they are turned into 0xAARRGGBB a row at a time here, so
// that no full-size RGB copy is ever held beside them. Thumbnails, depth maps, gain maps and
// image sequences are not looked at.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/decoding/picture_rows.hpp"

namespace platform::heif {

// The colours an nclx description gives (colr box of type nclx): the chromaticities of the
// primaries and the white point, and the transfer characteristics by their code of ITU-T H.273.
struct ColourDescription {
    double red[2] = {}, green[2] = {}, blue[2] = {}, white[2] = {};
    std::uint16_t primaries = 2, transfer = 2;  // 2: unspecified
};

enum class Outcome : std::uint8_t { Done, Failed };

class Decoder {
  public:
    // Decodes `file`, the whole file's bytes, kept for as long as the decoder lives.
    explicit Decoder(std::vector<std::uint8_t> file);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Reads the boxes and finds the primary image. Failed when libheif refuses the file or the
    // image is beyond the decoding budget (libheif's own limit is set to it as well).
    Outcome ReadHeader();
    // Once the header is read: the size as shown, whether it has alpha, its colours: the ICC
    // profile of its colr box (prof or rICC) as the file holds it, else its nclx description.
    std::uint32_t Width() const;
    std::uint32_t Height() const;
    bool HasAlpha() const;
    const std::vector<std::uint8_t>& IccProfile() const;
    const std::optional<ColourDescription>& Colours() const;

    // Decodes the image and streams its rows top to bottom as premultiplied 0xAARRGGBB, once.
    // Failed when the sink refuses the size or libheif cannot decode the image.
    Outcome ReadRows(pictures::RowSink& sink);

    // Why the last step was not Done, in libheif's words or the decoder's: for a report.
    const std::string& Problem() const;

    struct State;  // the file, libheif's context and handle

  private:
    std::unique_ptr<State> state_;
};

}  // namespace platform::heif

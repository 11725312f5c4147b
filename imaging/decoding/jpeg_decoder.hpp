// JPEG files decoded by libjpeg-turbo, for the picture and the wallpaper alike. The decoder
// reads a file's bytes in order from a byte source (a file for the program, memory for the
// tests and the fuzz target), learns its size, orientation and colour profile from the header,
// and then streams its rows shrunk while decoding to the smallest eighth of the picture that
// still gives the caller the pixels it asks for. Baseline files are decoded a strip of rows at
// a time; a progressive file wanted at 1/8 is read only up to its first full set of DC
// coefficients, which are that eighth.
//
// What the decoder leaves to the platform's own decoder ("not mine"): files libjpeg-turbo
// refuses at their header (12-bit samples, lossless or hierarchical coding, unknown colour
// spaces). A file it takes and then cannot decode whole (cut short before its last row) fails:
// a picture is never shown half decoded. Damage libjpeg recovers from (stray bytes before a
// marker, a bogus progression) does not fail it. Nor does a decode take unbounded time: a file
// of more scans than kMaxScans fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "imaging/decoding/picture_orientation.hpp"
#include "imaging/decoding/picture_rows.hpp"

namespace platform::jpeg {

// The bytes of a file, in order. The decoder never seeks back.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Copies up to `size` of the next bytes to `buffer`; how many, 0 at the end of the file or
    // when it cannot be read. Must not throw: libjpeg's frames lie between the decoder and it.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};

// The bytes of a span, in order.
class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;

  private:
    std::span<const std::uint8_t> bytes_;
};

// How much of the picture a decode at `eighths`/8 gives along a side of `side` pixels:
// libjpeg-turbo rounds up.
std::uint32_t ScaledSide(std::uint32_t side, std::int32_t eighths);

// The scale, in eighths (1 to 8), at which a picture of width x height stored pixels is
// decoded for a caller that needs at least `minimum` pixels on each axis: the smallest that
// gives them, the whole picture when none does. A picture is never enlarged while decoding.
std::int32_t ScaleFor(std::uint32_t width, std::uint32_t height, const PixelSize& minimum);

// One chunk of an ICC profile (an APP2 segment "ICC_PROFILE\0" with its sequence number and
// the count of chunks), kept as the file holds it.
struct IccChunk {
    std::uint8_t sequence = 0, count = 0;
    std::vector<std::uint8_t> bytes;
};

// What a step of the decoder came to.
enum class Outcome : std::uint8_t {
    Done,
    NotMine,  // libjpeg-turbo does not take the file: the platform's decoder may
    Failed,   // refused or broken: no other decoder is to try it
};

// Most bytes of APP1 and APP2 segments kept from one file (the first Exif block and the ICC
// profile's chunks); segments beyond it are passed over unread.
inline constexpr std::size_t kMaxKeptMarkerBytes = std::size_t{2} << 20;
// libjpeg's own limit for the buffers it makes for a whole picture (a progressive file's
// coefficients): a picture within the decoding budget at 4 bytes a pixel.
inline constexpr long kMaxDecoderMemory = 512L << 20;
// Most scans read from one file. Encoders write 1 to 3 for a sequential file and about 10 for a
// progressive one; each scan of a progressive file may run over every block of the picture
// again, so a small file of thousands of scans could hold the window's thread for minutes.
// TurboJPEG refuses more than 500 for untrusted files (its TJFLAG_LIMITSCANS), as libjpeg-turbo
// advises in its notes on progressive JPEG's two issues; so does the frame.
inline constexpr int kMaxScans = 500;

class Decoder {
  public:
    // Reads from `source`, which must outlive the decoder.
    explicit Decoder(ByteSource& source);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Reads the header up to the first scan. Failed when the size is beyond the decoding
    // budget; NotMine when libjpeg-turbo refuses the file here.
    Outcome ReadHeader();
    // Once the header is read: the stored size, the orientation the first Exif block records
    // (kUpright without one) and the ICC profile's chunks in the order of the file.
    std::uint32_t Width() const;
    std::uint32_t Height() const;
    pictures::Orientation RecordedOrientation() const;
    const std::vector<IccChunk>& IccChunks() const;
    // Whether the picture is stored as CMYK (or YCCK), whose profile is not an RGB one.
    bool StoresCmyk() const;

    // Whether its CMYK inks are stored inverted, 255 for none, as Adobe's files store them.
    bool InksInverted() const;

    // Turns one row of C, M, Y and K bytes, as the file stores them, into opaque 0xFFRRGGBB.
    using CmykConverter = std::function<void(const std::uint8_t*, std::span<std::uint32_t>)>;

    // Streams the rows, shrunk while decoding to ScaleFor(minimum), to the sink as opaque
    // 0xFFRRGGBB; a CMYK picture's through `cmyk` when given, by the inks' plain product
    // otherwise. Once per decoder. Done once every row has come; Failed when the sink refuses
    // the size or the file turns out cut short or damaged before the last row.
    Outcome ReadRows(const PixelSize& minimum, pictures::RowSink& sink,
                     const CmykConverter& cmyk = {});

    // Why the last step was not Done, in libjpeg's words or the decoder's: for a report.
    const std::string& Problem() const;
    // How many scans libjpeg has begun reading; never more than kMaxScans once a step is Done.
    int ScansRead() const;

    // What the decoder keeps between its steps, libjpeg's own structures among it.
    struct State;

  private:
    std::unique_ptr<State> state_;
};

}  // namespace platform::jpeg

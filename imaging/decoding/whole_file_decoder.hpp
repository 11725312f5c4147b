// A decoder whose library reads the whole file from memory (libwebp, giflib): the file's
// bytes, what its header says (the picture's size, checked against the decoding budget, and
// its orientation), and why a step failed. Each format's decoder reads its header once, then
// streams its rows once.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/decoding/picture_orientation.hpp"
#include "imaging/decoding/picture_rows.hpp"

namespace platform::pictures {

class WholeFileDecoder {
  public:
    explicit WholeFileDecoder(std::vector<std::uint8_t> file) : file_(std::move(file)) {}
    virtual ~WholeFileDecoder() = default;
    WholeFileDecoder(const WholeFileDecoder&) = delete;
    WholeFileDecoder& operator=(const WholeFileDecoder&) = delete;

    // Reads the header: false, with the problem, when the file is cut short or broken before
    // the picture's size or that size is beyond the decoding budget.
    bool ReadHeader();
    // Once the header is read: the stored size, the orientation the file records (kUpright
    // without one).
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    Orientation RecordedOrientation() const { return orientation_; }
    // The whole file, as given.
    std::span<const std::uint8_t> File() const { return file_; }

    // Streams the rows to the sink, once, after the header; `minimum` is the size the caller
    // needs as the rows are stored (a decoder that cannot shrink gives its stored size). False,
    // with the problem, when the sink refuses the size or the picture turns out cut short or
    // damaged: a picture is never given half decoded.
    bool ReadRows(const PixelSize& minimum, RowSink& sink);

    // Why the last step failed: for a report.
    const std::string& Problem() const { return problem_; }

  protected:
    // The format's own steps, each run once. ReadFormatHeader gives the size through TakeSize.
    virtual bool ReadFormatHeader() = 0;
    virtual bool ReadFormatRows(const PixelSize& minimum, RowSink& sink) = 0;

    // False, with the problem.
    bool Fail(std::string why);
    // The picture's stored size; false, with the problem, beyond the decoding budget.
    bool TakeSize(std::uint32_t width, std::uint32_t height);
    // Announces the rows to the sink; false, with the problem, when it refuses them.
    bool Begin(RowSink& sink, std::uint32_t width, std::uint32_t height);

    Orientation orientation_ = kUpright;

  private:
    std::vector<std::uint8_t> file_;
    std::uint32_t width_ = 0, height_ = 0;
    bool headerRead_ = false, rowsRead_ = false;
    std::string problem_;
};

}  // namespace platform::pictures

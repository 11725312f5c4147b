#include "imaging/decoding/whole_file_decoder.hpp"

#include "imaging/decoding/picture_header.hpp"

namespace platform::pictures {

bool WholeFileDecoder::ReadHeader() {
    if (headerRead_) return Fail("the header is read once");
    headerRead_ = true;
    if (!ReadFormatHeader()) {
        width_ = height_ = 0;
        return false;
    }
    return true;
}

bool WholeFileDecoder::ReadRows(const PixelSize& minimum, RowSink& sink) {
    if (width_ == 0 || rowsRead_) return Fail("the rows are read once, after the header");
    rowsRead_ = true;
    return ReadFormatRows(minimum, sink);
}

bool WholeFileDecoder::Fail(std::string why) {
    problem_ = std::move(why);
    return false;
}

bool WholeFileDecoder::TakeSize(std::uint32_t width, std::uint32_t height) {
    if (!WithinBudget(width, height))
        return Fail("refused: " + std::to_string(width) + "x" + std::to_string(height) +
                    " is beyond the decoding budget");
    width_ = width, height_ = height;
    return true;
}

bool WholeFileDecoder::Begin(RowSink& sink, std::uint32_t width, std::uint32_t height) {
    return sink.Begin(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                      orientation_) ||
           Fail("the picture's receiver refused its size");
}

}  // namespace platform::pictures

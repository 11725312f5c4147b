// The promises of a picture decoder's rows, checked by the decoders' fuzz targets: one Begin
// with a size and an orientation of 1 to 8 (upright only, from a decoder that turns the rows
// itself), then rows as wide as it said, no more of them than
// it said, each pixel as the format promises it. A broken one aborts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "imaging/decoding/picture_header.hpp"
#include "imaging/decoding/picture_rows.hpp"

namespace row_promises {

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

// Opaque, as JPEG's rows are.
inline bool Opaque(std::uint32_t p) {
    return p >> 24 == 0xFF;
}
// Premultiplied: no channel above the alpha.
inline bool Premultiplied(std::uint32_t p) {
    const std::uint32_t a = p >> 24;
    return (p >> 16 & 0xFF) <= a && (p >> 8 & 0xFF) <= a && (p & 0xFF) <= a;
}

class Check final : public platform::pictures::RowSink {
  public:
    Check(bool (*pixel)(std::uint32_t), const char* promise, bool uprightOnly = false)
        : pixel_(pixel), promise_(promise), uprightOnly_(uprightOnly) {}
    bool Begin(std::int32_t w, std::int32_t h, platform::pictures::Orientation o) override {
        const bool orientation =
            uprightOnly_ ? o == platform::pictures::kUpright : o >= 1 && o <= 8;
        if (begun || w < 1 || h < 1 || !orientation) Fail("one Begin with a size and orientation");
        begun = true, width = w, height = h;
        return true;
    }
    void Row(std::span<const std::uint32_t> row) override {
        if (!begun || row.size() != static_cast<std::size_t>(width) || ++rows > height)
            Fail("rows as wide as Begin said, no more of them");
        for (std::uint32_t p : row)
            if (!pixel_(p)) Fail(promise_);
    }
    // After a decode that is done.
    void CheckWhole() const {
        if (rows != height) Fail("every row when done");
    }
    bool begun = false;
    std::int32_t width = 0, height = 0, rows = 0;

  private:
    bool (*pixel_)(std::uint32_t);
    const char* promise_;
    bool uprightOnly_;
};

// One input for a decoder that reads the whole file from memory (WebP, GIF): the first byte
// picks how many pixels the caller asks for, the rest is the file. A header that is read is
// within the decoding budget, and a decode that is done gave every row.
template <class Decoder>
int DecodeWhole(const std::uint8_t* data, std::size_t size, bool (*pixel)(std::uint32_t),
                const char* promise) {
    if (size == 0) return 0;
    const double side = (data[0] & 0x0F) * 16.0;
    Decoder decoder(std::vector<std::uint8_t>(data + 1, data + size));
    if (!decoder.ReadHeader()) return 0;
    if (!platform::pictures::WithinBudget(decoder.Width(), decoder.Height()))
        Fail("a header read is within the budget");
    // Pictures this large only cost time here (a GIF's whole screen is made for every input):
    // the memory limit and the budget are checked above.
    if (std::uint64_t{decoder.Width()} * decoder.Height() > (std::uint64_t{1} << 20)) return 0;
    Check check(pixel, promise);
    if (decoder.ReadRows({side, side}, check)) check.CheckWhole();
    return 0;
}

}  // namespace row_promises

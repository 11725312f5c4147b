// What a decoder's rows promise, checked by the decoders' fuzz targets: one Begin with a size
// and an orientation from 1 to 8 (upright only, from a decoder that turns the rows itself),
// rows as wide as Begin said and no more of them, every pixel as the target's rule wants it. A
// broken promise aborts with what was expected.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "imaging/decoding/picture_rows.hpp"

namespace row_check {

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

class Check final : public platform::pictures::RowSink {
  public:
    using Rule = bool (*)(std::uint32_t pixel);
    // `rule` is what every pixel must satisfy, `promise` what it says.
    Check(Rule rule, const char* promise, bool uprightOnly)
        : rule_(rule), promise_(promise), uprightOnly_(uprightOnly) {}

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
        for (const std::uint32_t p : row)
            if (!rule_(p)) Fail(promise_);
    }

    bool begun = false;
    std::int32_t width = 0, height = 0, rows = 0;

  private:
    Rule rule_;
    const char* promise_;
    bool uprightOnly_;
};

}  // namespace row_check

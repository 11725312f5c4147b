// A receiver of a decoder's rows for the tests: the size and orientation announced, and every
// pixel, row after row.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/decoding/picture_rows.hpp"

namespace test_rows {

class Gathered final : public platform::pictures::RowSink {
  public:
    bool Begin(std::int32_t w, std::int32_t h, platform::pictures::Orientation o) override {
        width = w, height = h, orientation = o;
        return true;
    }
    void Row(std::span<const std::uint32_t> row) override {
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    std::int32_t width = 0, height = 0;
    platform::pictures::Orientation orientation = 0;
    std::vector<std::uint32_t> pixels;
};

}  // namespace test_rows

// The giflib decoder's rules: the colour of each index, and the order of interlaced rows.
#include "imaging/decoding/gif_decoder.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(GifPalette, GivesEachIndexItsColourOrItsGrey) {
    const Bytes two = {10, 20, 30, 200, 100, 50};
    const struct {
        const char* what;
        Bytes colours;
        int transparent, index;
        std::uint32_t expected;
    } cases[] = {
        {"an entry of the table", two, -1, 1, 0xFFC86432},
        {"the first entry", two, -1, 0, 0xFF0A141E},
        {"beyond the table: black", two, -1, 2, 0xFF000000},
        {"the transparent index", two, 1, 1, 0},
        {"a transparent index beyond the table", two, 7, 7, 0},
        {"no table: the grey of the index", {}, -1, 77, 0xFF4D4D4D},
        {"no table, the last index", {}, -1, 255, 0xFFFFFFFF},
        {"no table, transparent", {}, 77, 77, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::gif::Palette(c.colours, c.transparent)[c.index], c.expected) << c.what;
}

TEST(GifInterlace, GivesTheRowsInTheFourPassesOrder) {
    EXPECT_EQ(platform::gif::InterlacedOrder(10),
              (std::vector<std::uint32_t>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
    EXPECT_EQ(platform::gif::InterlacedOrder(1), (std::vector<std::uint32_t>{0}));
}

}  // namespace

// Transparent parts of a picture are drawn over the window's background, blended.
#include "imaging/pixels/over_background.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::pictures::OverBackground;
using platform::pictures::PutOverBackground;

constexpr std::uint32_t kGrey = 0x202020;  // the picture window's background

TEST(OverBackground, BlendsThePremultipliedPixelOverTheBackground) {
    const struct {
        const char* what;
        std::uint32_t pixel, background, expected;
    } cases[] = {
        {"an opaque pixel stays as it is", 0xFF123456u, kGrey, 0xFF123456u},
        {"a transparent pixel shows the background", 0x00000000u, kGrey, 0xFF202020u},
        {"and any background", 0x00000000u, 0x0A0B0C, 0xFF0A0B0Cu},
        // Red at alpha 128, premultiplied: red channel 128. Over (32, 32, 32):
        // 128 + 127 * 32 / 255 = 128 + 16 (15.9 rounded) in red, 16 in green and blue.
        {"half transparent", 0x80800000u, kGrey, 0xFF901010u},
        {"each channel over its own", 0x80000000u, 0xFF4000, 0xFF7F2000u},
        {"a broken premultiplied pixel held at full", 0x10FF0000u, 0xFFFFFF, 0xFFFFEFEFu},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OverBackground(c.pixel, c.background), c.expected) << c.what;
}

TEST(OverBackground, EveryPixelOfARowIsPutOver) {
    std::vector<std::uint32_t> row = {0xFF0000FFu, 0x00000000u, 0x80008000u};
    PutOverBackground(row, kGrey);
    EXPECT_EQ(row, (std::vector<std::uint32_t>{0xFF0000FFu, 0xFF202020u, 0xFF109010u}));
}

}  // namespace

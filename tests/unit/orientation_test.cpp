#include "imaging/pixels/orientation.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using platform::PixelSize;
using platform::pictures::Bitmap;

// A 3 x 2 picture whose every pixel is its own: 0xFF0000yx.
Bitmap Stored(std::int32_t w = 3, std::int32_t h = 2) {
    Bitmap b;
    b.width = w;
    b.height = h;
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) b.pixels.push_back(0xFF000000u | (y << 4) | x);
    }
    return b;
}

std::uint32_t At(const Bitmap& b, std::int32_t x, std::int32_t y) {
    return b.pixels[std::size_t(y) * std::size_t(b.width) + std::size_t(x)];
}

// Corners of the stored 3 x 2 picture: top-left 00, top-right 02, bottom-left 10, bottom-right
// 12 (0xFF0000yx).
constexpr std::uint32_t TL = 0xFF000000, TR = 0xFF000002, BL = 0xFF000010, BR = 0xFF000012;

struct Row {
    int orientation;
    std::int32_t width, height;  // as displayed
    // The displayed corners: top-left, top-right, bottom-left, bottom-right.
    std::uint32_t tl, tr, bl, br;
};

// What each orientation makes of the stored corners, as the orientation tag defines it: the
// stored top row becomes the displayed top (1 to 4) or a side (5 to 8), the stored left column
// the displayed left, right, top or bottom.
const Row kRows[] = {
    {1, 3, 2, TL, TR, BL, BR},  // upright
    {2, 3, 2, TR, TL, BR, BL},  // mirrored left to right
    {3, 3, 2, BR, BL, TR, TL},  // turned 180 degrees
    {4, 3, 2, BL, BR, TL, TR},  // mirrored top to bottom
    {5, 2, 3, TL, BL, TR, BR},  // transposed: the top row becomes the left column
    {6, 2, 3, BL, TL, BR, TR},  // turned 90 degrees clockwise: the top row becomes the right
    {7, 2, 3, BR, TR, BL, TL},  // transverse: the top row becomes the right column, upside down
    {8, 2, 3, TR, BR, TL, BL},  // turned 90 degrees anticlockwise: the top row becomes the left
};

TEST(Orientation, CornersLandWhereTheTagSays) {
    for (const Row& r : kRows) {
        const auto turned = orientation::Turned(Stored(), static_cast<std::uint8_t>(r.orientation));
        ASSERT_TRUE(turned) << r.orientation;
        EXPECT_EQ(turned->width, r.width) << r.orientation;
        EXPECT_EQ(turned->height, r.height) << r.orientation;
        ASSERT_EQ(turned->pixels.size(), 6u);
        const std::int32_t w = turned->width - 1, h = turned->height - 1;
        EXPECT_EQ(At(*turned, 0, 0), r.tl) << "top-left, orientation " << r.orientation;
        EXPECT_EQ(At(*turned, w, 0), r.tr) << "top-right, orientation " << r.orientation;
        EXPECT_EQ(At(*turned, 0, h), r.bl) << "bottom-left, orientation " << r.orientation;
        EXPECT_EQ(At(*turned, w, h), r.br) << "bottom-right, orientation " << r.orientation;
    }
}

// Every pixel once: the turn moves pixels, it loses and repeats none.
TEST(Orientation, EveryPixelOnce) {
    const Bitmap stored = Stored(7, 5);
    for (int o = 1; o <= 8; ++o) {
        auto turned = orientation::Turned(stored, static_cast<std::uint8_t>(o));
        ASSERT_TRUE(turned);
        std::vector<std::uint32_t> a = stored.pixels, b = turned->pixels;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b) << o;
    }
}

// Turning 90 degrees clockwise and then anticlockwise, 180 degrees twice, or any mirror twice
// gives the stored picture back; two quarter turns are a half turn; a quarter turn clockwise
// then a mirror is a diagonal mirror.
TEST(Orientation, TurnsCompose) {
    const Bitmap stored = Stored(5, 4);
    const auto turn = [](const Bitmap& b, int o) {
        return *orientation::Turned(b, static_cast<std::uint8_t>(o));
    };
    const auto same = [](const Bitmap& a, const Bitmap& b) {
        return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
    };
    EXPECT_TRUE(same(turn(turn(stored, 6), 8), stored));
    EXPECT_TRUE(same(turn(turn(stored, 8), 6), stored));
    for (const int o : {2, 3, 4, 5, 7}) EXPECT_TRUE(same(turn(turn(stored, o), o), stored)) << o;
    EXPECT_TRUE(same(turn(turn(stored, 6), 6), turn(stored, 3)));
    EXPECT_TRUE(same(turn(turn(stored, 6), 2), turn(stored, 5)));
    EXPECT_TRUE(same(turn(turn(stored, 6), 4), turn(stored, 7)));
}

TEST(Orientation, OtherValuesLeaveThePictureAsStored) {
    const Bitmap stored = Stored();
    for (const int o : {0, 9, 255}) {
        const auto turned = orientation::Turned(stored, static_cast<std::uint8_t>(o));
        ASSERT_TRUE(turned);
        EXPECT_EQ(turned->width, 3);
        EXPECT_EQ(turned->pixels, stored.pixels) << o;
    }
}

TEST(Orientation, MalformedBitmapsAreRefused) {
    Bitmap b = Stored();
    b.pixels.pop_back();
    EXPECT_FALSE(orientation::Turned(b, 6));
    b = Stored();
    b.width = -3;
    b.height = -2;
    EXPECT_FALSE(orientation::Turned(b, 1));
    Bitmap empty;
    const auto turned = orientation::Turned(empty, 6);
    ASSERT_TRUE(turned);
    EXPECT_TRUE(turned->pixels.empty());
}

TEST(Orientation, SizesSwapFor5To8) {
    for (int o = 0; o <= 9; ++o) {
        const bool swaps = o >= 5 && o <= 8;
        EXPECT_EQ(platform::pictures::TurnsAQuarter(static_cast<std::uint8_t>(o)), swaps) << o;
        const PixelSize turned =
            orientation::Turned(PixelSize{900, 600}, static_cast<std::uint8_t>(o));
        EXPECT_EQ(turned, swaps ? (PixelSize{600, 900}) : (PixelSize{900, 600})) << o;
    }
}

}  // namespace

// Scaling with averaging: fine patterns shrink to their mean, enlarging stays smooth.
#include "imaging/pixels/averaging_scaler.hpp"

#include <gtest/gtest.h>

namespace {

using platform::pictures::Bitmap;

Bitmap Checkerboard(std::int32_t w, std::int32_t h) {
    Bitmap b{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            b.pixels[static_cast<std::size_t>(y) * w + x] = ((x + y) & 1) ? 0xFFFFFFFF : 0xFF000000;
    return b;
}

// The bitmap fed to the scaler row by row, as a decoder feeds it.
std::optional<Bitmap> Scale(const Bitmap& source, std::int32_t width, std::int32_t height) {
    auto scaler = scaling::AveragingScaler::Create(source.width, source.height, width, height);
    if (!scaler) return std::nullopt;
    for (std::int32_t y = 0; y < source.height; ++y)
        scaler->AddRow(
            std::span(source.pixels).subspan(static_cast<std::size_t>(y) * source.width));
    return scaler->Finish();
}

int Channel(std::uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

TEST(AveragingScaler, ACheckerboardShrunkFourTimesIsMidGrey) {
    const auto out = Scale(Checkerboard(400, 300), 100, 75);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->width, 100);
    ASSERT_EQ(out->height, 75);
    for (std::uint32_t p : out->pixels)
        for (int shift : {0, 8, 16}) {
            ASSERT_GE(Channel(p, shift), 126) << std::hex << p;
            ASSERT_LE(Channel(p, shift), 129) << std::hex << p;
        }
}

TEST(AveragingScaler, NonIntegerShrinkStillAverages) {
    const auto out = Scale(Checkerboard(781, 521), 195, 130);
    ASSERT_TRUE(out);
    int lo = 255, hi = 0;
    for (std::uint32_t p : out->pixels)
        lo = std::min(lo, Channel(p, 8)), hi = std::max(hi, Channel(p, 8));
    EXPECT_GE(lo, 110);
    EXPECT_LE(hi, 145);
}

TEST(AveragingScaler, AUniformPictureKeepsItsColourAtAnySize) {
    Bitmap b{7, 5, std::vector<std::uint32_t>(35, 0xFF204080)};
    for (auto [w, h] : {std::pair{3, 2}, {7, 5}, {20, 13}, {1, 1}}) {
        const auto out = Scale(b, w, h);
        ASSERT_TRUE(out);
        for (std::uint32_t p : out->pixels) ASSERT_EQ(p, 0xFF204080u) << w << "x" << h;
    }
}

TEST(AveragingScaler, EnlargingInterpolatesBetweenNeighbours) {
    Bitmap b{2, 1, {0xFF000000, 0xFFFFFFFF}};
    const auto out = Scale(b, 8, 1);
    ASSERT_TRUE(out);
    // From black at the left edge to white at the right, never decreasing, with greys between.
    EXPECT_EQ(Channel(out->pixels.front(), 0), 0);
    EXPECT_EQ(Channel(out->pixels.back(), 0), 255);
    for (int i = 1; i < 8; ++i)
        EXPECT_LE(Channel(out->pixels[i - 1], 0), Channel(out->pixels[i], 0));
    EXPECT_GT(Channel(out->pixels[4], 0), 64);
    EXPECT_LT(Channel(out->pixels[3], 0), 192);
}

TEST(AveragingScaler, ThinPicturesScaleToo) {
    const auto tall = Scale(Checkerboard(1, 20000), 1, 144);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->pixels.size(), 144u);
    const auto wide = Scale(Checkerboard(20000, 1), 195, 1);
    ASSERT_TRUE(wide);
    EXPECT_NEAR(Channel(wide->pixels[100], 16), 128, 2);
}

TEST(AveragingScaler, RefusesEmptyOrOversizedImages) {
    const Bitmap one{1, 1, {0xFF000000}};
    EXPECT_FALSE(Scale(one, 0, 10));
    EXPECT_FALSE(Scale(one, 10, -1));
    EXPECT_FALSE(Scale(one, scaling::kMaxSide + 1, 1));
    EXPECT_FALSE(Scale(one, 16384, 16384)) << "beyond the pixel budget";
    EXPECT_FALSE(Scale(Bitmap{}, 10, 10));
    auto scaler = scaling::AveragingScaler::Create(2, 2, 1, 1);
    ASSERT_TRUE(scaler);
    scaler->AddRow(std::vector<std::uint32_t>{0xFF000000});
    EXPECT_FALSE(scaler->Finish()) << "a row too short is no row";
    scaler->AddRow(std::vector<std::uint32_t>{0xFF000000, 0xFF000000});
    EXPECT_FALSE(scaler->Finish()) << "one row of two";
}

}  // namespace

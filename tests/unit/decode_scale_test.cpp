// How many pixels of a picture the frame needs: the display size it is painted at, new or at
// a size menu choice, in the screen's pixels.
#include "display/decode_scale.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace {

using platform::PixelSize;

template <class Ratio>
std::optional<Ratio> As(std::optional<double> twipsPerPixel) {
    return twipsPerPixel ? std::optional(Ratio(*twipsPerPixel)) : std::nullopt;
}

std::string Text(const std::optional<PixelSize>& s) {
    return s ? std::to_string(s->width) + "x" + std::to_string(s->height) : "nothing";
}

TEST(DisplayAt, IsTheDisplaySizeTheFrameIsPaintedAtInTheScreensPixels) {
    const std::optional<double> none;
    const struct {
        const char* what;
        PixelSize natural;
        std::optional<double> tppX, tppY, deviceX, deviceY;
        std::optional<PixelSize> expected;
        std::optional<std::int16_t> chosen = 2;
    } cases[] = {
        // A new picture: the default display itself, 2925 x 1950 twips.
        {"new at 96 dpi", {6000, 4000}, 15, 15, 15, 15, PixelSize{195, 130}, std::nullopt},
        {"new at 192 dpi", {6000, 4000}, 15, 15, 7.5, 7.5, PixelSize{390, 260}, std::nullopt},
        // 2955 / 1.5 = 1970 and 1980 / 1.5 = 1320 twips; the menu's default keeps the margin.
        {"small at 96 dpi", {6000, 4000}, 15, 15, 15, 15, PixelSize{131, 88}, 0},
        {"default chosen at 96 dpi", {6000, 4000}, 15, 15, 15, 15, PixelSize{197, 132}, 1},
        // (2925 + 30) * 1.5 = 4432.5 rounds to 4432 twips = 295.5 -> 295 (half to even)
        // pixels; (1950 + 30) * 1.5 = 2970 twips = 198 pixels.
        {"landscape at 96 dpi", {6000, 4000}, 15, 15, 15, 15, PixelSize{295, 198}},
        // (2160 + 30) * 1.5 = 3285 twips = 219 pixels; (1620 + 30) * 1.5 = 2475 = 165.
        {"portrait at 96 dpi", {3000, 4000}, 15, 15, 15, 15, PixelSize{165, 219}},
        // 2340 + 30 twips are 197.5 pixels: a window of 198 (half to even), read back as 2376
        // twips, times 1.5 = 3564 = 297 pixels; 1560 + 30 -> 132 pixels -> 2376 = 198.
        {"program at 120 dpi", {6000, 4000}, 12, 12, 12, 12, PixelSize{297, 198}},
        // The program's figures taken in the screen's pixels: 4432 twips are 590.9 pixels at
        // 192 dpi (7.5 twips a pixel); at 144 the window of 2955 twips is 296 pixels (295.5,
        // half to even), read back as 2960 twips: 4440 at the large size, 444 pixels.
        {"screen at 192 dpi", {6000, 4000}, 15, 15, 7.5, 7.5, PixelSize{591, 396}},
        {"screen at 144 dpi", {6000, 4000}, 15, 15, 10, 10, PixelSize{444, 297}},
        {"square counts as landscape", {500, 500}, 15, 15, 15, 15, PixelSize{295, 295}},
        {"no horizontal twips per pixel", {6000, 4000}, none, 15, 15, 15, std::nullopt},
        {"no vertical twips per pixel", {6000, 4000}, 15, none, 15, 15, std::nullopt},
        {"zero twips per pixel", {6000, 4000}, 0, 15, 15, 15, std::nullopt},
        {"zero screen twips per pixel", {6000, 4000}, 15, 15, 0, 7.5, std::nullopt},
        {"empty picture", {0, 0}, 15, 15, 15, 15, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = decode_scale::DisplayAt(
            c.natural, c.chosen, As<units::TwipsPerPixel>(c.tppX), As<units::TwipsPerPixel>(c.tppY),
            As<units::TwipsPerScreenPixel>(c.deviceX), As<units::TwipsPerScreenPixel>(c.deviceY));
        EXPECT_EQ(got, c.expected)
            << c.what << ": expected " << Text(c.expected) << ", got " << Text(got);
    }
}

}  // namespace

// A picture whose file records a camera orientation is measured and painted as displayed: the
// holder reports the turned size, so a phone's upright photo stored sideways sizes the window
// as a portrait, and the painted picture has its corners where the camera saw them.
#include <gtest/gtest.h>

#include <array>

#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "frame_fixture.hpp"
#include "platform/windows.hpp"

namespace {

using platform::Form;
using platform::pictures::Bitmap;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                        kWhite = 0xFFFFFFFF;

// Four quadrants: red top left, green top right, blue bottom left, white bottom right.
Bitmap Quadrants(std::int32_t w, std::int32_t h) {
    Bitmap b{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2;
            b.pixels[static_cast<std::size_t>(y) * w + x] =
                bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
        }
    return b;
}

struct Case {
    platform::pictures::Orientation orientation;
    // Colours of the displayed corners: top left, top right, bottom left, bottom right.
    std::array<std::uint32_t, 4> corners;
};

// Worked out from the orientations' meaning, not from the code that turns.
const Case kCases[] = {
    {1, {kRed, kGreen, kBlue, kWhite}}, {2, {kGreen, kRed, kWhite, kBlue}},
    {3, {kWhite, kBlue, kGreen, kRed}}, {4, {kBlue, kWhite, kRed, kGreen}},
    {5, {kRed, kBlue, kGreen, kWhite}}, {6, {kBlue, kRed, kWhite, kGreen}},
    {7, {kWhite, kGreen, kBlue, kRed}}, {8, {kGreen, kWhite, kRed, kBlue}},
};

class OrientedPainting : public FrameTest, public testing::WithParamInterface<Case> {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        CreateFrameWindows();
    }

    Bitmap LoadAndPaint(const std::u16string& path) {
        mainMod::shared.PicturePath = path;
        frmMain::LoadAndSizePicture();
        frmMain::LayoutCompanions();
        return rec.drawnBitmaps[static_cast<std::uint8_t>(platform::Surface::Main)];
    }

    // Checks the corners of the drawn picture, a few pixels in from each edge.
    static void ExpectCorners(const Bitmap& b, const std::array<std::uint32_t, 4>& corners) {
        ASSERT_EQ(b.pixels.size(), static_cast<std::size_t>(b.width) * b.height);
        const auto at = [&](std::int32_t x, std::int32_t y) {
            return b.pixels[static_cast<std::size_t>(y) * b.width + x];
        };
        const std::int32_t r = b.width - 3, bt = b.height - 3;
        EXPECT_EQ(at(2, 2), corners[0]) << "top left";
        EXPECT_EQ(at(r, 2), corners[1]) << "top right";
        EXPECT_EQ(at(2, bt), corners[2]) << "bottom left";
        EXPECT_EQ(at(r, bt), corners[3]) << "bottom right";
    }
};

TEST_P(OrientedPainting, AStoredLandscapeIsSizedAndPaintedAsDisplayed) {
    const Case& c = GetParam();
    rec.pictureFiles[u"C:\\p\\photo.jpg"] = Quadrants(900, 600);
    rec.pictureOrientations[u"C:\\p\\photo.jpg"] = c.orientation;
    const Bitmap drawn = LoadAndPaint(u"C:\\p\\photo.jpg");

    const bool quarter = c.orientation >= 5;
    if (quarter) {
        // Displayed 600 x 900: a portrait, 144 pixels high.
        EXPECT_EQ(mainMod::shared.PicWidth, 1440_tw);
        EXPECT_EQ(mainMod::shared.PicHeight, 2160_tw);
        EXPECT_TRUE(mainMod::shared.Portrait);
        EXPECT_EQ(drawn.width, 96);
        EXPECT_EQ(drawn.height, 144);
    } else {
        EXPECT_EQ(mainMod::shared.PicWidth, 2925_tw);
        EXPECT_EQ(mainMod::shared.PicHeight, 1950_tw);
        EXPECT_FALSE(mainMod::shared.Portrait);
        EXPECT_EQ(drawn.width, 195);
        EXPECT_EQ(drawn.height, 130);
    }
    ExpectCorners(drawn, c.corners);
}

std::string NameOf(const testing::TestParamInfo<Case>& info) {
    return "Orientation" + std::to_string(info.param.orientation);
}

INSTANTIATE_TEST_SUITE_P(EveryOrientation, OrientedPainting, testing::ValuesIn(kCases), NameOf);

TEST_F(OrientedPainting, AnUprightPictureLoadedAfterATurnedOneIsNotTurned) {
    rec.pictureFiles[u"C:\\p\\turned.jpg"] = Quadrants(900, 600);
    rec.pictureOrientations[u"C:\\p\\turned.jpg"] = 6;
    rec.pictureFiles[u"C:\\p\\plain.jpg"] = Quadrants(900, 600);
    LoadAndPaint(u"C:\\p\\turned.jpg");
    const Bitmap drawn = LoadAndPaint(u"C:\\p\\plain.jpg");
    EXPECT_FALSE(mainMod::shared.Portrait);
    EXPECT_EQ(drawn.width, 195);
    ExpectCorners(drawn, {kRed, kGreen, kBlue, kWhite});
}

}  // namespace

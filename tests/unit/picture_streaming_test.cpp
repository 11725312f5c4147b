// The picture's rows stream from the holder into the averaging scaler: the size asked of the
// decoder is the same at every size choice.
#include <algorithm>
#include <cstdlib>

#include "app/frm_main.hpp"
#include "frame_fixture.hpp"
#include "platform/windows.hpp"

namespace {

using platform::Form;
using platform::pictures::Bitmap;

// A picture with fine detail (a one-pixel checkerboard) over smooth gradients, where a
// careless reduction would show.
Bitmap Detailed(std::int32_t w, std::int32_t h) {
    Bitmap b{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint32_t r = static_cast<std::uint32_t>(255 * x / (w - 1));
            const std::uint32_t g = static_cast<std::uint32_t>(255 * y / (h - 1));
            const std::uint32_t bl = ((x + y) & 1) ? 255 : 0;
            b.pixels[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | r << 16 | g << 8 | bl;
        }
    return b;
}

class PictureStreaming : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        CreateFrameWindows();
        rec.pictureFiles[u"C:\\p\\big.jpg"] = Detailed(2400, 1600);
        mainMod::shared.PicturePath = u"C:\\p\\big.jpg";
    }

    // Loads and lays out the picture as a drop does; what was drawn on the picture window.
    Bitmap LoadAndPaint() {
        frmMain::LoadAndSizePicture();
        frmMain::LayoutCompanions();
        return rec.drawnBitmaps[static_cast<std::uint8_t>(platform::Surface::Main)];
    }
};

// Every size choice asks the decoder for the pixels of the large display, 295x198 at 96 dpi, so
// that the picture looks the same at each.
TEST_F(PictureStreaming, AsksForTheLargeDisplaysPixelsAtEverySizeChoice) {
    LoadAndPaint();
    for (std::int16_t size : {0, 1, 2}) frmMain::mnuSize_Click(size);
    EXPECT_EQ(rec.OpsStartingWith({"ReadRows("}), std::vector<std::string>(4, "ReadRows(295x198)"));
}

TEST_F(PictureStreaming, TheHolderIsReleasedAfterEveryPaintAndReloadedForTheNext) {
    LoadAndPaint();
    EXPECT_FALSE(rec.holderPixels.has_value()) << "released after the paint";
    frmMain::mnuSize_Click(2);
    ASSERT_TRUE(DrawnPicture());
    EXPECT_EQ(DrawnPicture()->width, 295) << "the large picture, read again";
    EXPECT_FALSE(rec.holderPixels.has_value());
}

}  // namespace

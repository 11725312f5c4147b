// The picture's rows stream from the holder into the averaging scaler: the reduction asked
// for is the same at every size choice, the picture drawn does not depend on whether the
// decoder shrank it, and rows that fail part way leave the window cleared while the layout
// goes on.
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

// 2400x1600 shrunk 4 times is 600x400, twice the large display of 295x198 at least, at every
// size choice; a picture too small to shrink is read whole.
TEST_F(PictureStreaming, AsksForTheSameReductionAtEverySizeChoice) {
    AddPicture(u"C:\\p\\small.jpg", 780, 520);
    for (const auto& [path, reads] :
         {std::pair{u"C:\\p\\big.jpg", "ReadRows(4)"}, {u"C:\\p\\small.jpg", "ReadRows(1)"}}) {
        mainMod::shared.PicturePath = path;
        LoadAndPaint();
        for (std::int16_t size : {0, 1, 2}) frmMain::mnuSize_Click(size);
        EXPECT_EQ(rec.OpsStartingWith({"ReadRows("}), std::vector<std::string>(4, reads));
        rec.ClearOps();
    }
}

TEST_F(PictureStreaming, TheDrawnPictureIsTheSameWhetherOrNotTheDecoderShrinks) {
    for (std::int16_t size : {0, 1, 2}) {
        rec.holderReducesWhileDecoding = false;
        frmMain::mnuSize_Click(size);
        const Bitmap whole = rec.drawnBitmaps[static_cast<std::uint8_t>(platform::Surface::Main)];
        rec.holderReducesWhileDecoding = true;
        frmMain::mnuSize_Click(size);
        const Bitmap shrunk = rec.drawnBitmaps[static_cast<std::uint8_t>(platform::Surface::Main)];

        ASSERT_GT(whole.width, 0) << "size choice " << size << ": nothing drawn";
        ASSERT_EQ(shrunk.width, whole.width) << "size choice " << size;
        ASSERT_EQ(shrunk.height, whole.height) << "size choice " << size;
        int worst = 0;
        std::size_t worstAt = 0;
        for (std::size_t i = 0; i < whole.pixels.size(); ++i)
            for (int shift : {0, 8, 16, 24}) {
                const int d = std::abs(static_cast<int>((whole.pixels[i] >> shift) & 0xFF) -
                                       static_cast<int>((shrunk.pixels[i] >> shift) & 0xFF));
                if (d > worst) worst = d, worstAt = i;
            }
        // Averaging a block mean again differs from averaging the pixels at most by the share
        // of the block that straddles a display pixel's edge, a few steps on this picture.
        EXPECT_LE(worst, 4) << "size choice " << size << ": pixel " << worstAt << " whole "
                            << std::hex << whole.pixels[worstAt] << ", shrunk "
                            << shrunk.pixels[worstAt];
    }
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

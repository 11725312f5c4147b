// The picture holder: what the decoder is asked for, and a picture that is never lost.
#include "display/picture_holder.hpp"

#include <functional>

#include "app/frm_main.hpp"
#include "frame_fixture.hpp"
#include "tests/common/p3_profile.hpp"

namespace {

using platform::PixelSize;
using platform::pictures::Bitmap;

class PictureHolder : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        CreateFrameWindows();
        AddPicture(u"C:\\p\\big.jpg", 2400, 1600, 0xFF336699);
        AddPicture(u"C:\\p\\next.jpg", 1200, 1600, 0xFFCC0000);
        Show(u"C:\\p\\big.jpg");
    }

    // Shows the picture as a drop does; what was drawn on the picture window.
    const Bitmap* Show(const std::u16string& path) {
        rec.drawnBitmaps.clear();
        mainMod::shared.PicturePath = path;
        frmMain::LoadAndSizePicture();
        frmMain::LayoutCompanions();
        return DrawnPicture();
    }
};

// Every size is decoded from the file once, at its own display size (195x130 new, 131x88
// small, 197x132 default and 295x198 large at 96 dpi), never averaged from another size's
// copy; the holder keeps the last, and the file is let go.
TEST_F(PictureHolder, EachSizeIsDecodedOnceAtItsOwnPixelsAndTheFileLetGo) {
    for (std::int16_t size : {0, 1, 2}) frmMain::mnuSize_Click(size);
    EXPECT_EQ(rec.OpsStartingWith({"ReadRows("}),
              (std::vector<std::string>{"ReadRows(195x130)", "ReadRows(131x88)",
                                        "ReadRows(197x132)", "ReadRows(295x198)"}));
    ASSERT_TRUE(mainMod::shared.imgMain);
    EXPECT_EQ(mainMod::shared.imgMain->kept.width, 295);
    EXPECT_EQ(mainMod::shared.imgMain->kept.height, 198);
    EXPECT_EQ(rec.openPictureFiles, 0);
}

// A picture that cannot be loaded leaves the one shown painted, at the size the holder keeps,
// and the caption takes the new name.
TEST_F(PictureHolder, AFailedLoadKeepsThePicturePainted) {
    const struct {
        const char* what;
        std::function<void(platform::recording::Recorder&)> spoil;
    } cases[] = {
        {"a file that is gone", [](auto& r) { r.pictureFiles.erase(u"C:\\p\\next.jpg"); }},
        {"a file refused at its header", [](auto& r) { r.FailOn("OpenPicture"); }},
        {"rows that fail part way", [](auto& r) { r.pictureRowsFailAfter = 100; }},
        {"a decoder that fails", [](auto& r) { r.FailOn("ReadRows"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.spoil(rec);
        const Bitmap* drawn = Show(u"C:\\p\\next.jpg");
        ASSERT_TRUE(drawn);
        EXPECT_EQ(drawn->width, 195) << "the landscape picture's size";
        EXPECT_EQ(drawn->height, 130);
        EXPECT_EQ(drawn->pixels.front(), 0xFF336699u) << "the picture shown before";
        EXPECT_EQ(mainMod::shared.CaptionText, u"next.jpg");
        EXPECT_EQ(rec.openPictureFiles, 0);
    }
}

// The file gone, every size choice still paints the picture, from what the holder keeps.
TEST_F(PictureHolder, AGoneFileStillPaintsAtEverySize) {
    rec.pictureFiles.clear();
    const struct {
        std::int16_t size;
        std::int32_t width;
    } table[] = {{2, 295}, {0, 131}, {1, 197}};
    for (const auto& c : table) {
        rec.drawnBitmaps.clear();
        frmMain::mnuSize_Click(c.size);
        ASSERT_TRUE(DrawnPicture()) << "size " << c.size;
        EXPECT_EQ(DrawnPicture()->width, c.width) << "size " << c.size;
        EXPECT_EQ(DrawnPicture()->pixels.front(), 0xFF336699u);
    }
}

// Dragged to a monitor of another colour profile, the picture is painted again in its colours:
// here a display of the picture's own profile, which shows its numbers as they are.
TEST_F(PictureHolder, AMoveToAnotherDisplaysColoursPaintsThemAgain) {
    rec.pictureProfiles[u"C:\\p\\big.jpg"] = test_profiles::DisplayP3();
    const Bitmap* onSrgb = Show(u"C:\\p\\big.jpg");
    ASSERT_TRUE(onSrgb);
    EXPECT_NE(onSrgb->pixels.front(), 0xFF336699u) << "converted to sRGB";
    rec.displayColourProfile = test_profiles::DisplayP3();
    rec.drawnBitmaps.clear();
    rec.moveLoopDelta = {platform::Twips(1440.0 * 20), platform::Twips(0)};
    frmMain::Form_MouseDown(platform::kLeftButton, 0, 10, 10);
    ASSERT_TRUE(DrawnPicture());
    EXPECT_EQ(DrawnPicture()->pixels.front(), 0xFF336699u);
}

}  // namespace

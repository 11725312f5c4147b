// The companion layout: caption text, where the caption text starts, the drawing, and where
// the caption and shadow windows go and whether they show.
#include <functional>

#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "display/caption_text.hpp"
#include "display/picture_holder.hpp"
#include "frame_fixture.hpp"
#include "platform/menus.hpp"
#include "platform/windows.hpp"

namespace {

using namespace menu_names;
using platform::Form;

TEST(FileTitle, IsThePartAfterTheLastBackslash) {
    const struct {
        const char16_t* path;
        const char16_t* title;
    } cases[] = {
        {u"D:\\photos\\sunset.jpg", u"sunset.jpg"},
        {u"sunset.jpg", u"sunset.jpg"},
        {u"D:\\photos\\", u""},
        {u"", u""},
        {u"\\\\server\\share\\a&b.jpg", u"a&b.jpg"},
        {u"C:\\照片\\夏天.jpg", u"夏天.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(caption_text::FileTitleOf(c.path), std::u16string(c.title));
    EXPECT_EQ(caption_text::FileTitleOf(std::u16string(40000, u'a')), std::nullopt)
        << "a text beyond 16-bit lengths cannot be measured";
}

TEST(CaptionShortening, KeepsTheTailThePresetAllows) {
    const std::u16string title = u"holiday-at-the-seaside.jpg";  // 26 characters
    const struct {
        std::int16_t sizeMode;
        std::int16_t portrait;
        const char16_t* caption;
    } cases[] = {
        {0, mainMod::kTrue, u". . . ide.jpg"},
        {0, mainMod::kFalse, u". . . he-seaside.jpg"},
        {1, mainMod::kTrue, u". . . seaside.jpg"},
        {1, mainMod::kFalse, u". . . day-at-the-seaside.jpg"},
        {2, mainMod::kTrue, u". . . -the-seaside.jpg"},
        {2, mainMod::kFalse, u". . . holiday-at-the-seaside.jpg"},  // 32 exceeds the title
        {3, mainMod::kFalse, u"holiday-at-the-seaside.jpg"},        // no row: not shortened
        {-1, mainMod::kTrue, u"holiday-at-the-seaside.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(caption_text::Shorten(title, true, c.sizeMode, c.portrait), c.caption)
            << "size " << c.sizeMode << " portrait " << c.portrait;
    EXPECT_EQ(caption_text::Shorten(title, false, 0, mainMod::kTrue), title);
}

TEST(CaptionShortening, NeverSplitsACharacterOutsideTheBasicPlane) {
    // "x😀😀😀😀.jpg": each emoji is two UTF-16 units.
    const std::u16string title = u"x\U0001F600\U0001F600\U0001F600\U0001F600.jpg";
    const std::u16string caption = caption_text::Shorten(title, true, 0, mainMod::kTrue);
    // The last 7 units start with the second half of an emoji, which is left out.
    EXPECT_EQ(caption, u". . . \U0001F600.jpg");
}

class Layout : public FrameTest {
  protected:
    // The picture window at (1500, 3000) twips, 2955 x 1980, showing a 780 x 520 picture.
    void SetUp() override {
        FrameTest::SetUp();
        Create(Form::Main);
        platform::windows::Move(Form::Main, 1500_tw, 3000_tw, 2955_tw, 1980_tw);
        AddPicture(u"C:\\p\\wide.jpg", 780, 520);
        mainMod::shared.PicturePath = u"C:\\p\\wide.jpg";
        frmMain::LoadAndSizePicture();
    }
};

// The caption window 80 twips under the picture window and as wide, its height kept; the
// shadow window around it by the margins; each placed before it is shown, and shown as its rule
// says.
TEST_F(Layout, PlacesAndShowsTheCompanionsByTheirRules) {
    // 5060 twips down, and 25 twips around, on whole pixels (15 twips) as the system puts them.
    const platform::TwipsRect caption{1500_tw, 5055_tw, 2955_tw, 300_tw},
        shadow{1470_tw, 2970_tw, 3000_tw, 2025_tw};
    const struct {
        const char* what;
        mainMod::VbBool showFileName;
        bool captionShownBefore, noShadow, markUnreadable;
        bool captionVisible, shadowVisible;
    } cases[] = {
        {"both shown", mainMod::kTrue, false, false, false, true, true},
        {"no file name: the caption is neither shown", mainMod::kFalse, false, false, false, false,
         true},
        {"nor hidden", mainMod::kFalse, true, false, false, true, true},
        {"no shadow", mainMod::kTrue, false, true, false, true, false},
        {"an unreadable mark hides the shadow", mainMod::kTrue, false, false, true, true, false},
    };
    Create(Form::Txt);
    Create(Form::Shadow);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::windows::Hide(Form::Shadow);
        if (c.captionShownBefore)
            platform::windows::Show(Form::Txt);
        else
            platform::windows::Hide(Form::Txt);
        platform::menus::SetChecked(mnuShadow(3), c.noShadow);
        if (c.markUnreadable) rec.FailOn("Checked(mnuShadow(3))");
        mainMod::shared.ShowFileName = c.showFileName;
        mainMod::shared.ShadowBox = {25_tw, 50_tw, 25_tw, 50_tw};
        frmMain::LayoutCompanions();
        EXPECT_EQ(Rect(Form::Txt), caption);
        EXPECT_EQ(Rect(Form::Shadow), shadow) << "a hidden shadow still follows";
        EXPECT_EQ(Form(Form::Txt).visible, c.captionVisible);
        EXPECT_EQ(Form(Form::Shadow).visible, c.shadowVisible);
        EXPECT_TRUE(c.showFileName != mainMod::kTrue || ShownInPlace(Form::Txt));
        EXPECT_TRUE(!c.shadowVisible || ShownInPlace(Form::Shadow));
        rec.ClearFailures();
    }
}

TEST_F(Layout, PaintsThePictureAndTheCaption) {
    mainMod::shared.ShowFileName = mainMod::kTrue;
    frmMain::LayoutCompanions();
    const auto* drawn = DrawnPicture();
    ASSERT_TRUE(drawn) << "its size at each scale: PaintsThePictureAtTheScreensPixels";
    EXPECT_EQ(drawn->pixels.front(), 0xFF336699u);
    EXPECT_FALSE(rec.Of(platform::Surface::Main).autoRedraw) << "the picture stays as background";
    EXPECT_TRUE(rec.desktopDrawn);
    ASSERT_FALSE(rec.drawnTexts.empty());
    EXPECT_EQ(rec.drawnTexts.back().text, u"wide.jpg");
    EXPECT_EQ(picture_holder::ScaleSize().width, 780) << "the holder keeps its natural size";
}

TEST_F(Layout, CaptionTextAndWhereItStarts) {
    // 6 pixels a character; the window is 195 pixels wide inside.
    const struct {
        const char16_t* path;
        const char16_t* caption;
        units::Whole<units::DesignPixels> textLeft;
    } table[] = {
        {u"D:\\photos\\sunset.jpg", u"sunset.jpg", 70_px},  // (195 - 60) / 2 + 3 = 70.5: even
        {u"D:\\photos\\", u"", 100_px},                     // 195 / 2 + 3 = 100.5: even
        {u"C:\\p\\holiday-at-the-seaside-in-summer.jpg",    // 36 characters, 216 pixels: too wide
         u". . . -seaside-in-summer.jpg", 16_px},           // 28 characters: (195 - 168) / 2 + 3
    };
    for (const auto& c : table) {
        mainMod::shared.PicturePath = c.path;
        frmMain::LayoutCompanions();
        EXPECT_EQ(mainMod::shared.CaptionText, c.caption);
        EXPECT_EQ(mainMod::shared.TextLeft, c.textLeft)
            << "for " << platform::recording::Utf8(c.caption);
    }
}

// A title measured 195.4 pixels rounds to the window's 195 and is not shortened; 195.6 is.
TEST_F(Layout, ATitleExactlyAsWideAsTheWindowIsNotShortened) {
    mainMod::shared.PicturePath = u"C:\\p\\holiday-at-the-seaside.jpg";
    for (const auto& [width, caption] : {std::pair{195.4, u"holiday-at-the-seaside.jpg"},
                                         {195.6, u". . . day-at-the-seaside.jpg"}}) {
        rec.textWidth = [w = width](std::u16string_view t) {
            return units::DesignPixels(t.size() == 26 ? w : 6.0 * static_cast<double>(t.size()));
        };
        frmMain::LayoutCompanions();
        EXPECT_EQ(mainMod::shared.CaptionText, caption) << width;
    }
}

TEST_F(Layout, AnUnreadablePositionSkipsOnlyThePlacements) {
    CreateFrameWindows();
    const auto caption = Rect(Form::Txt), shadow = Rect(Form::Shadow);
    rec.FailOn("Height(Main)");
    mainMod::shared.ShowFileName = mainMod::kTrue;
    frmMain::LayoutCompanions();
    EXPECT_EQ(Rect(Form::Txt), caption);
    EXPECT_EQ(Rect(Form::Shadow), shadow);
    EXPECT_TRUE(Form(Form::Txt).visible) << "the later steps still run";
}

// Whatever keeps the picture from being painted leaves the window cleared, shown as such, and
// the layout goes on.
TEST_F(Layout, NothingToPaintLeavesThePictureWindowClearedAndTheLayoutGoesOn) {
    const struct {
        const char* what;
        std::function<void(platform::recording::Recorder&)> spoil;
    } cases[] = {
        {"an empty holder", [](auto&) { mainMod::shared.imgMain.reset(); }},
        {"an unreadable screen resolution", [](auto& r) { r.FailOn("DeviceTwipsPerPixelX"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rec.pictureFiles[u"C:\\p\\wide.jpg"].height = 520;
        frmMain::LoadAndSizePicture();
        rec.ClearOps();
        c.spoil(rec);
        mainMod::shared.ShowFileName = mainMod::kTrue;
        frmMain::LayoutCompanions();
        EXPECT_EQ(DrawnPicture(), nullptr);
        EXPECT_TRUE(Did("Refresh(Main)")) << "the cleared window is shown";
        EXPECT_EQ(Rect(Form::Txt).top, 5055_tw) << "the caption is still placed";
        EXPECT_TRUE(Form(Form::Txt).visible);
        rec.ClearFailures();
    }
}

// On a screen of another scale the picture is scaled from the holder to the screen's own
// pixels, while the program's figures stay those of 96 dpi.
TEST_F(Layout, PaintsThePictureAtTheScreensPixels) {
    const struct {
        double deviceTwipsPerPixel;
        std::int32_t width, height;
    } cases[] = {
        {15, 195, 130},   // 96 dpi
        {10, 292, 195},   // 144 dpi: 292.5 rounds to even
        {7.5, 390, 260},  // 192 dpi
        {12, 244, 162},   // 120 dpi: 243.75, 162.5
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deviceTwipsPerPixel);
        rec.deviceTwipsPerPixel = units::TwipsPerScreenPixel(c.deviceTwipsPerPixel);
        frmMain::LoadAndSizePicture();
        frmMain::LayoutCompanions();
        ASSERT_TRUE(DrawnPicture());
        EXPECT_EQ(DrawnPicture()->width, c.width);
        EXPECT_EQ(DrawnPicture()->height, c.height);
        EXPECT_EQ(mainMod::shared.PicWidth, 2925_tw)
            << "the sizing stays in the program's own pixels";
        EXPECT_EQ(mainMod::shared.PicHeight, 1950_tw);
    }
}

// A move to a monitor of another scale: the frame is laid out again; the size preset and the
// window's size stay. A picture gone from its file is painted from what the holder keeps.
TEST_F(Layout, ADpiChangeReadsThePictureAgainAndLaysOutTheFrame) {
    mainMod::shared.SizeMode = 2;
    mainMod::shared.PicWidth = 4432_tw;
    frmMain::LayoutCompanions();  // as the size choice left it; the holder is let go
    const auto main = Rect(Form::Main);
    frmMain::Form_DpiChanged();
    ASSERT_TRUE(DrawnPicture());
    EXPECT_EQ(DrawnPicture()->width, 295) << "4432 twips";
    EXPECT_EQ(Rect(Form::Main), main);
    EXPECT_EQ(Rect(Form::Txt).top, 5055_tw);
    EXPECT_EQ(mainMod::shared.SizeMode, 2);

    rec.pictureFiles.clear();
    rec.drawnBitmaps.clear();
    rec.deviceTwipsPerPixel = units::TwipsPerScreenPixel(7.5);
    frmMain::Form_DpiChanged();
    ASSERT_TRUE(DrawnPicture()) << "painted from the holder";
    EXPECT_EQ(DrawnPicture()->width, 591) << "4432 twips at 192 dpi";
    EXPECT_EQ(DrawnPicture()->pixels.front(), 0xFF336699u);
    EXPECT_EQ(Rect(Form::Txt).top, 5055_tw);
}

}  // namespace

// The companion layout: caption text, where the caption text starts, the drawing, and where
// the caption and shadow windows go and whether they show.
#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "display/caption_text.hpp"
#include "frame_fixture.hpp"
#include "platform/menus.hpp"
#include "platform/pictures.hpp"
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
        platform::windows::Move(Form::Main, 1500, 3000, 2955, 1980);
        AddPicture(u"C:\\p\\wide.jpg", 780, 520);
        mainMod::shared.PicturePath = u"C:\\p\\wide.jpg";
        frmMain::LoadAndSizePicture();
        rec.ClearOps();
    }
};

TEST_F(Layout, PlacesTheCaptionUnderAndTheShadowAroundThePictureWindow) {
    mainMod::shared.ShadowBox = {25, 50, 25, 50};
    frmMain::LayoutCompanions();
    EXPECT_EQ(
        rec.OpsStartingWith({"Move("}),
        (std::vector<std::string>{"Move(Txt,1500,5060,2955)", "Move(Shadow,1475,2975,3005,2030)"}))
        << Dump();
}

TEST_F(Layout, RunsItsStepsInOrder) {
    mainMod::shared.ShowFileName = mainMod::kTrue;
    frmMain::LayoutCompanions();
    const auto steps =
        rec.OpsStartingWith({"SetAutoRedraw(Main", "Cls(", "PaintDesktop", "DrawBitmap", "Move(",
                             "Show(", "Hide(", "Checked(", "ReleasePicture"});
    const std::vector<std::string> expected = {
        "SetAutoRedraw(Main,1)",
        "Cls(Main)",
        "Cls(Picture1)",
        "PaintDesktop(Picture1)",
        "DrawBitmap(Main,0,0,195x130)",
        "Move(Txt,1500,5060,2955)",
        "Move(Shadow,1500,3000,2955,1980)",
        "Show(Txt)",
        "Checked(mnuShadow(3))",
        "Show(Shadow)",
        "SetAutoRedraw(Main,0)",
        "ReleasePicture()",
    };
    EXPECT_EQ(steps, expected) << Dump();
}

TEST_F(Layout, CaptionTextAndWhereItStarts) {
    // 6 pixels a character; the window is 195 pixels wide inside.
    const struct {
        const char16_t* path;
        const char16_t* caption;
        std::int32_t textLeft;
    } table[] = {
        {u"D:\\photos\\sunset.jpg", u"sunset.jpg", 70},   // (195 - 60) / 2 + 3 = 70.5: even
        {u"D:\\photos\\", u"", 100},                      // 195 / 2 + 3 = 100.5: even
        {u"C:\\p\\holiday-at-the-seaside-in-summer.jpg",  // 36 characters, 216 pixels: too wide
         u". . . -seaside-in-summer.jpg", 16},            // 28 characters: (195 - 168) / 2 + 3
    };
    for (const auto& c : table) {
        mainMod::shared.PicturePath = c.path;
        frmMain::LayoutCompanions();
        EXPECT_EQ(mainMod::shared.CaptionText, c.caption);
        EXPECT_EQ(mainMod::shared.TextLeft, c.textLeft)
            << "for " << platform::recording::Utf8(c.caption);
    }
}

TEST_F(Layout, ATitleExactlyAsWideAsTheWindowIsNotShortened) {
    rec.textWidth = [](std::u16string_view t) { return t.size() == 26 ? 195.4 : 6.0 * t.size(); };
    mainMod::shared.PicturePath = u"C:\\p\\holiday-at-the-seaside.jpg";
    frmMain::LayoutCompanions();
    EXPECT_EQ(mainMod::shared.CaptionText, u"holiday-at-the-seaside.jpg") << "195.4 rounds to 195";
    rec.textWidth = [](std::u16string_view t) { return t.size() == 26 ? 195.6 : 6.0 * t.size(); };
    frmMain::LayoutCompanions();
    EXPECT_EQ(mainMod::shared.CaptionText, u". . . day-at-the-seaside.jpg");
}

TEST_F(Layout, HiddenCompanionsStayHiddenByTheirRules) {
    mainMod::shared.ShowFileName = mainMod::kFalse;
    platform::menus::SetChecked(mnuShadow(3), true);
    frmMain::LayoutCompanions();
    EXPECT_FALSE(Form(Form::Txt).visible);
    EXPECT_FALSE(Form(Form::Shadow).visible);
    EXPECT_EQ(IndexOf("Hide(Txt)"), -1) << "the caption window is neither shown nor hidden";
    // The hidden shadow window still follows the picture window.
    EXPECT_EQ(Form(Form::Shadow).left, 1500);
}

TEST_F(Layout, AnUnreadableNoShadowMarkHidesTheShadow) {
    rec.FailOn("Checked(mnuShadow(3))");
    frmMain::LayoutCompanions();
    EXPECT_FALSE(Form(Form::Shadow).visible);
    EXPECT_GE(IndexOf("Hide(Shadow)"), 0) << Dump();
}

TEST_F(Layout, AnUnreadablePositionSkipsOnlyThatPlacement) {
    rec.FailOn("Height(Main)");
    mainMod::shared.ShowFileName = mainMod::kTrue;
    frmMain::LayoutCompanions();
    EXPECT_TRUE(rec.OpsStartingWith({"Move("}).empty()) << Dump();
    EXPECT_TRUE(Form(Form::Txt).visible) << "the later steps still run";
    EXPECT_GE(IndexOf("ReleasePicture()"), 0);
}

TEST_F(Layout, TheFullSizePictureIsReleasedOnceItsScaledCopyIsPainted) {
    frmMain::LayoutCompanions();
    EXPECT_FALSE(rec.holderPixels.has_value());
    ASSERT_TRUE(rec.holderSize.has_value()) << "the holder keeps its size";
    EXPECT_EQ(rec.holderSize->width, 780);
    const auto& drawn = rec.drawnBitmaps[static_cast<std::uint8_t>(platform::Surface::Main)];
    EXPECT_EQ(drawn.width, 195);
    EXPECT_EQ(drawn.height, 130);
    EXPECT_EQ(drawn.pixels.front(), 0xFF336699u);
}

TEST_F(Layout, NoPictureHeldLeavesTheWindowCleared) {
    rec.holderPixels.reset();
    frmMain::LayoutCompanions();
    EXPECT_EQ(IndexOf("DrawBitmap(Main,0,0,195x130)"), -1);
    EXPECT_GE(IndexOf("Refresh(Main)"), 0);
}

}  // namespace

namespace {

// On a screen of another scale the picture is scaled from the holder to the screen's own
// pixels, while the program's figures stay those of 96 dpi.
TEST_F(Layout, PaintsThePictureAtTheScreensPixels) {
    const struct {
        double deviceTwipsPerPixel;
        const char* drawn;
    } cases[] = {
        {15, "DrawBitmap(Main,0,0,195x130)"},   // 96 dpi
        {10, "DrawBitmap(Main,0,0,292x195)"},   // 144 dpi: 292.5 rounds to even
        {7.5, "DrawBitmap(Main,0,0,390x260)"},  // 192 dpi
        {12, "DrawBitmap(Main,0,0,244x162)"},   // 120 dpi: 243.75, 162.5
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deviceTwipsPerPixel);
        rec.deviceTwipsPerPixel = c.deviceTwipsPerPixel;
        AddPicture(u"C:\\p\\wide.jpg", 780, 520);
        frmMain::LoadAndSizePicture();
        rec.ClearOps();
        frmMain::LayoutCompanions();
        EXPECT_EQ(rec.OpsStartingWith({"DrawBitmap"}), std::vector<std::string>{c.drawn}) << Dump();
        EXPECT_EQ(mainMod::shared.PicWidth, 2925) << "the sizing stays in the program's own pixels";
        EXPECT_EQ(mainMod::shared.PicHeight, 1950);
    }
}

TEST_F(Layout, AnUnreadableScreenResolutionLeavesThePictureWindowCleared) {
    rec.FailOn("DeviceTwipsPerPixelX");
    frmMain::LayoutCompanions();
    EXPECT_TRUE(rec.OpsStartingWith({"DrawBitmap"}).empty()) << Dump();
    EXPECT_NE(IndexOf("Refresh(Main)"), -1) << "the cleared window is shown";
    EXPECT_NE(IndexOf("ReleasePicture()"), -1) << "the layout goes on";
}

// A move to a monitor of another scale: the picture is read again from its file and the frame
// laid out again; the size preset and the window's size stay.
TEST_F(Layout, ADpiChangeReadsThePictureAgainAndLaysOutTheFrame) {
    mainMod::shared.SizeMode = 2;
    mainMod::shared.PicWidth = 4432;
    frmMain::Form_DpiChanged();
    const auto steps = rec.OpsStartingWith({"LoadPicture", "SetAutoRedraw(Main", "DrawBitmap",
                                            "Move(", "ReleasePicture", "SetWidth", "SetHeight"});
    const std::vector<std::string> expected = {
        "LoadPicture(C:\\p\\wide.jpg)",
        "SetAutoRedraw(Main,1)",
        "DrawBitmap(Main,0,0,295x130)",
        "Move(Txt,1500,5060,2955)",
        "Move(Shadow,1500,3000,2955,1980)",
        "SetAutoRedraw(Main,0)",
        "ReleasePicture()",
    };
    EXPECT_EQ(steps, expected) << Dump();
    EXPECT_EQ(mainMod::shared.SizeMode, 2) << "the size preset stays";
}

TEST_F(Layout, ADpiChangeWithAPictureGoneStillLaysOutTheFrame) {
    platform::pictures::Release();  // as the layout after the load left it
    rec.pictureFiles.clear();
    frmMain::Form_DpiChanged();
    EXPECT_NE(IndexOf("Move(Txt,1500,5060,2955)"), -1) << Dump();
    EXPECT_TRUE(rec.OpsStartingWith({"DrawBitmap"}).empty()) << "nothing left to paint";
}

}  // namespace

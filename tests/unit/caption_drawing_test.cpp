// The caption box's drawing: the desktop backdrop, then the shade three times in Color2 one
// pixel right and down, then the text twice in Color1 over it.
#include "caption/draw_caption.hpp"
#include "frame_fixture.hpp"

namespace {

using platform::Form;
using Text = platform::recording::Recorder::DrawnText;

class CaptionDrawing : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        Create(Form::Main);
        platform::windows::Move(Form::Main, 0_tw, 0_tw, 2955_tw, 1980_tw);  // 195 pixels inside
        mainMod::shared.CaptionText = u"a&b.jpg";
        mainMod::shared.TextLeft = 70_px;
        mainMod::shared.FontName = u"Tahoma";
        mainMod::shared.FontSize = 10;
        mainMod::shared.Color1 = 0xFFFFFF;
        mainMod::shared.Color2 = 0x000000;
    }
    const Text kShade{u"a&b.jpg", 0x000000, {71_px, 2_px, 195_px, 22_px}};
    const Text kText{u"a&b.jpg", 0xFFFFFF, {70_px, 1_px, 195_px, 22_px}};
};

TEST_F(CaptionDrawing, TheBoxShowsTheDesktopThenTheShadeThenTheText) {
    mainMod::DrawCaption();
    EXPECT_TRUE(rec.desktopDrawn);
    EXPECT_EQ(rec.drawnTexts, (std::vector<Text>{kShade, kShade, kShade, kText, kText}));
    EXPECT_EQ(rec.Of(platform::Surface::Picture1).fontName, u"Tahoma");
    EXPECT_EQ(rec.Of(platform::Surface::Picture1).fontSize, 10);
    EXPECT_EQ(mainMod::shared.TextRect, (platform::PixelRect{70_px, 1_px, 195_px, 22_px}));
    EXPECT_TRUE(Form(Form::Txt).exists) << "the first drawing creates the caption window";
    EXPECT_FALSE(Form(Form::Txt).visible) << "but does not show it";

    mainMod::DrawCaption();
    EXPECT_EQ(rec.drawnTexts.size(), 5u) << "drawing again gives the same picture";
}

TEST_F(CaptionDrawing, AFailingBackdropOrFontStillDrawsTheText) {
    rec.FailOn("PaintDesktop");
    rec.FailOn("SetFontName");
    mainMod::DrawCaption();
    EXPECT_EQ(rec.drawnTexts, (std::vector<Text>{kShade, kShade, kShade, kText, kText}));
}

TEST_F(CaptionDrawing, ALeftEdgeAtTheLimitKeepsTheShadeWhereItWas) {
    mainMod::shared.TextRect.Left = 5_px;
    mainMod::shared.TextLeft =
        units::Whole<units::DesignPixels>(std::numeric_limits<std::int32_t>::max());
    mainMod::DrawCaptionShade();
    EXPECT_EQ(mainMod::shared.TextRect.Left, 5_px) << "TextLeft + 1 does not fit";
}

}  // namespace

// The caption box's drawing: backdrop first, then the shade three times in Color2 one pixel
// right and down, then the text twice in Color1.
#include "caption/draw_caption.hpp"
#include "frame_fixture.hpp"
#include "platform/windows.hpp"

namespace {

using platform::Form;

class CaptionDrawing : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        Create(Form::Main);
        platform::windows::Move(Form::Main, 0, 0, 2955, 1980);  // 195 pixels inside
        mainMod::shared.CaptionText = u"a&b.jpg";
        mainMod::shared.TextLeft = 70;
        mainMod::shared.FontName = u"Tahoma";
        mainMod::shared.FontSize = 10;
        mainMod::shared.Color1 = 0xFFFFFF;
        mainMod::shared.Color2 = 0x000000;
        rec.ClearOps();
    }
};

TEST_F(CaptionDrawing, DrawsBackdropShadeAndTextInThatOrder) {
    mainMod::DrawCaption();
    const std::vector<std::string> expected = {
        "Cls(Picture1)",
        "PaintDesktop(Picture1)",
        "SetFontName(Picture1,Tahoma)",
        "SetFontSize(Picture1,10)",
        "SetForeColor(Picture1,0)",
        "DrawTextLine(Picture1,a&b.jpg,71,2,195,22)",
        "DrawTextLine(Picture1,a&b.jpg,71,2,195,22)",
        "DrawTextLine(Picture1,a&b.jpg,71,2,195,22)",
        "SetForeColor(Picture1,16777215)",
        "DrawTextLine(Picture1,a&b.jpg,70,1,195,22)",
        "DrawTextLine(Picture1,a&b.jpg,70,1,195,22)",
    };
    EXPECT_EQ(rec.OpsStartingWith(
                  {"Cls(Picture1", "PaintDesktop", "SetFont", "SetForeColor", "DrawTextLine"}),
              expected)
        << Dump();
    EXPECT_EQ(mainMod::shared.TextRect, (mainMod::TextRectRecord{70, 1, 195, 22}));
}

TEST_F(CaptionDrawing, TheFirstDrawingCreatesTheCaptionWindow) {
    EXPECT_FALSE(Form(Form::Txt).exists);
    mainMod::DrawCaption();
    EXPECT_TRUE(Form(Form::Txt).exists);
    EXPECT_LT(IndexOf("Create(Txt)"), IndexOf("Cls(Picture1)"));
    EXPECT_FALSE(Form(Form::Txt).visible) << "drawing does not show it";
}

TEST_F(CaptionDrawing, DrawingTwiceGivesTheSamePicture) {
    mainMod::DrawCaption();
    const auto once = rec.drawnTexts;
    mainMod::DrawCaption();
    ASSERT_EQ(rec.drawnTexts.size(), once.size()) << "the box is cleared first";
    for (std::size_t i = 0; i < once.size(); ++i) {
        EXPECT_EQ(rec.drawnTexts[i].text, once[i].text);
        EXPECT_EQ(rec.drawnTexts[i].color, once[i].color);
        EXPECT_EQ(rec.drawnTexts[i].rect, once[i].rect);
    }
}

TEST_F(CaptionDrawing, AFailingBackdropOrFontStillDrawsTheText) {
    rec.FailOn("PaintDesktop");
    rec.FailOn("SetFontName");
    mainMod::DrawCaption();
    EXPECT_EQ(rec.drawnTexts.size(), 5u);
}

TEST_F(CaptionDrawing, ALeftEdgeAtTheLimitKeepsTheShadeWhereItWas) {
    mainMod::shared.TextRect.Left = 5;
    mainMod::shared.TextLeft = std::numeric_limits<std::int32_t>::max();
    mainMod::DrawCaptionShade();
    EXPECT_EQ(mainMod::shared.TextRect.Left, 5) << "TextLeft + 1 does not fit";
}

}  // namespace

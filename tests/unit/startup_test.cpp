// Start-up: the settings read, the picture loaded and sized, the windows laid out, and the
// check marks and shadow mode applied afterwards.
#include <optional>

#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "app/program.hpp"
#include "frame_fixture.hpp"

namespace {

using namespace menu_names;
using platform::Form;

class Startup : public FrameTest {
  protected:
    void Start(const std::optional<std::string>& options) {
        if (options) WriteOptions(*options);
        AddPicture(u"image.jpg", 780, 520);
        vistrelle::RunProgram();
    }
};

// A failed conversion, a missing file or an unreadable one leaves a setting at its initial
// value.
TEST_F(Startup, ReadsTheSixSettings) {
    const struct {
        const char* what;
        std::optional<std::string> options;
        bool unreadable;
        const char16_t* font;
        std::int16_t size;
        std::int32_t color1, color2;
        std::int16_t offSet;
        mainMod::VbBool showFileName;
    } cases[] = {
        {"good values",
         "[Main]\nFont=Arial\nSize=12.5\nColor1=&HFF\nColor2=65280\nShowFileName=true\n"
         "[Shadow]\nOffSet=2\n",
         false, u"Arial", 12, 255, 65280, 2, mainMod::kTrue},
        {"no option.ini", std::nullopt, false, u"", 0, 0, 0, 0, mainMod::kFalse},
        {"bad values",
         "[Main]\nSize=40000\nColor1=red\nColor2=&H1000000000\nShowFileName=yes\n"
         "[Shadow]\nOffSet=abc\n",
         false, u"", 0, 0, 0, 0, mainMod::kFalse},
        {"unreadable", "[Main]\nShowFileName=True\nSize=9\n", true, u"", 0, 0, 0, 0,
         mainMod::kFalse},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        if (c.unreadable) rec.FailOn("ReadString");
        Start(c.options);
        EXPECT_EQ(mainMod::shared.FontName, c.font);
        EXPECT_EQ(mainMod::shared.FontSize, c.size);
        EXPECT_EQ(mainMod::shared.Color1, c.color1);
        EXPECT_EQ(mainMod::shared.Color2, c.color2);
        EXPECT_EQ(mainMod::shared.ShadowOffSet, c.offSet);
        EXPECT_EQ(mainMod::shared.ShowFileName, c.showFileName);
        EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\Frame\\image.jpg");
        EXPECT_TRUE(Form(Form::Main).visible) << "the window is always shown";
    }
}

TEST_F(Startup, TheFileNameMarkAndCaptionFollowShowFileName) {
    for (const auto& [value, shown] : {std::pair{"-1", true}, {"0", false}, {"", false}}) {
        SetUp();
        Start(std::string("[Main]\nShowFileName=") + value + "\n");
        EXPECT_EQ(Checked(mnuOP(op::kShowFileName)), shown) << value;
        EXPECT_EQ(Form(Form::Txt).visible, shown) << value;
    }
}

TEST_F(Startup, ThePictureWindowStandsAtItsDesignPlaceInFrontWithDefaultSizeAndFullOpacity) {
    Start("");
    EXPECT_EQ(Rect(Form::Main).left, 3315_tw) << "3330 twips inside a one-pixel border";
    EXPECT_EQ(Rect(Form::Main).top, 2910_tw);
    EXPECT_TRUE(InFront(Form::Main)) << "shown last, above its companions";
    EXPECT_TRUE(Did("RunMessageLoop()"));
    EXPECT_EQ(Marks(mnuSize, 3), "010");
    EXPECT_EQ(Marks(mnuTrs, 3), "100");
    EXPECT_EQ(mainMod::shared.SizeMode, 1);
    EXPECT_FALSE(Form(Form::Main).layered) << "the picture window starts not layered";
}

// The first layout runs before the shadow mode is applied: it places the shadow window on the
// picture window's own rectangle; the margins come with the next placement.
TEST_F(Startup, AppliesTheShadowModeAfterTheFirstLayout) {
    const struct {
        const char* offSet;
        const char* marks;
        mainMod::ShadowBoxRecord box;
        bool shadowVisible;
    } cases[] = {
        {"0", "1000", {0_tw, 0_tw, 0_tw, 0_tw}, true},
        {"1", "0100", {25_tw, 50_tw, 25_tw, 50_tw}, true},
        {"2", "0010", {50_tw, 100_tw, 50_tw, 100_tw}, true},
        {"3", "0001", {0_tw, 0_tw, 0_tw, 0_tw}, false},
        {"5", "0000", {0_tw, 0_tw, 0_tw, 0_tw}, true},
        {"-1", "0000", {0_tw, 0_tw, 0_tw, 0_tw}, true},
        {"7", "0000", {0_tw, 0_tw, 0_tw, 0_tw}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offSet);
        SetUp();
        Start(std::string("[Shadow]\nOffSet=") + c.offSet + "\n");
        EXPECT_EQ(Rect(Form::Shadow), Rect(Form::Main)) << "the first placement uses no margins";
        EXPECT_EQ(mainMod::shared.ShadowBox, c.box);
        EXPECT_EQ(Marks(mnuShadow, 4), c.marks);
        EXPECT_EQ(Form(Form::Shadow).visible, c.shadowVisible);
    }
}

TEST_F(Startup, TheShadowWindowIsTransparentAndClickThroughFromItsCreation) {
    Start("");
    EXPECT_TRUE(Form(Form::Shadow).layered);
    EXPECT_TRUE(Form(Form::Shadow).clickThrough);
    EXPECT_EQ(Form(Form::Shadow).alpha, 0);
}

TEST_F(Startup, WithoutImageJpgTheWindowIsSizedFromTheEmptyHolderAndStillShown) {
    WriteOptions("");
    vistrelle::RunProgram();
    // The empty holder measures 113 x 65 pixels: landscape, 195 pixels wide.
    EXPECT_EQ(mainMod::shared.PicWidth, 2925_tw);
    EXPECT_EQ(mainMod::shared.PicHeight, 1683_tw);  // round(195 * 65 / 113 * 15) = round(1682.52)
    EXPECT_TRUE(Form(Form::Main).visible);
    EXPECT_FALSE(Did("ShowMessage"));
}

TEST_F(Startup, AProgramFolderAtADriveRootGetsNoSecondBackslash) {
    rec.exeFolder = u"D:\\";
    rec.files[u"D:\\option.ini"] = "[Main]\nShowFileName=True\n";
    vistrelle::RunProgram();
    EXPECT_EQ(mainMod::shared.ShowFileName, mainMod::kTrue);
    EXPECT_EQ(mainMod::shared.PicturePath, u"D:\\image.jpg");
}

// Closing the picture window by the system ends the program as its Exit command does.
TEST_F(Startup, ExitAndClosingThePictureWindowEndTheProgram) {
    for (const bool byMenu : {true, false}) {
        SetUp();
        Start("");
        if (byMenu)
            frmMain::mnuOP_Click(op::kExit);
        else
            platform::CurrentEvents()->SystemClose();
        for (const auto& [form, state] : rec.forms) EXPECT_FALSE(state.exists) << int{form};
        EXPECT_TRUE(rec.processEnded);
    }
}

}  // namespace

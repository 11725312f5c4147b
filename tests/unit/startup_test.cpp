// Start-up: the settings read, the picture loaded and sized, the windows laid out, and the
// check marks and shadow mode applied afterwards, in that order.
#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "app/program.hpp"
#include "frame_fixture.hpp"

namespace {

using namespace menu_names;
using platform::Form;

class Startup : public FrameTest {
  protected:
    void Start(const std::string& options) {
        WriteOptions(options);
        AddPicture(u"image.jpg", 780, 520);
        vistrelle::RunProgram();
    }
    int CheckedShadowItems() {
        int n = 0;
        for (std::int16_t i = 0; i < 4; ++i) n += Checked(mnuShadow(i));
        return n;
    }
};

TEST_F(Startup, ReadsTheSixSettingsInOrderThenLoadsImageJpg) {
    Start(
        "[Main]\nFont=Arial\nSize=12.5\nColor1=&HFF\nColor2=65280\nShowFileName=true\n"
        "[Shadow]\nOffSet=2\n");
    const std::vector<std::string> expected = {
        "ReadString(C:\\Frame\\option.ini,Main,Font,255)",
        "ReadString(C:\\Frame\\option.ini,Main,Size,255)",
        "ReadString(C:\\Frame\\option.ini,Main,Color1,255)",
        "ReadString(C:\\Frame\\option.ini,Main,Color2,255)",
        "ReadString(C:\\Frame\\option.ini,Shadow,OffSet,255)",
        "ReadString(C:\\Frame\\option.ini,Main,ShowFileName,255)",
        "LoadPicture(C:\\Frame\\image.jpg)",
    };
    EXPECT_EQ(rec.OpsStartingWith({"ReadString", "LoadPicture"}), expected) << Dump();
    EXPECT_EQ(mainMod::shared.FontName, u"Arial");
    EXPECT_EQ(mainMod::shared.FontSize, 12);
    EXPECT_EQ(mainMod::shared.Color1, 255);
    EXPECT_EQ(mainMod::shared.Color2, 65280);
    EXPECT_EQ(mainMod::shared.ShadowOffSet, 2);
    EXPECT_EQ(mainMod::shared.ShowFileName, mainMod::kTrue);
    EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\Frame\\image.jpg");
}

TEST_F(Startup, WithoutOptionIniEverySettingKeepsItsInitialValue) {
    AddPicture(u"image.jpg", 780, 520);
    vistrelle::RunProgram();
    EXPECT_EQ(mainMod::shared.FontName, u"");
    EXPECT_EQ(mainMod::shared.FontSize, 0);
    EXPECT_EQ(mainMod::shared.Color1, 0);
    EXPECT_EQ(mainMod::shared.Color2, 0);
    EXPECT_EQ(mainMod::shared.ShadowOffSet, 0);
    EXPECT_EQ(mainMod::shared.ShowFileName, mainMod::kFalse);
    EXPECT_FALSE(Checked(mnuOP(5))) << "the file-name item loses its mark";
    EXPECT_TRUE(Checked(mnuShadow(0)));
    EXPECT_EQ(CheckedShadowItems(), 1);
    EXPECT_FALSE(Form(Form::Txt).visible) << "the caption window is never shown";
    EXPECT_TRUE(Form(Form::Shadow).visible);
    EXPECT_TRUE(Form(Form::Main).visible);
    EXPECT_EQ(IndexOf("Show(Txt)"), -1) << Dump();
}

TEST_F(Startup, BadValuesLeaveTheirSettingsAtTheInitialValue) {
    Start(
        "[Main]\nSize=40000\nColor1=red\nColor2=&H1000000000\nShowFileName=yes\n"
        "[Shadow]\nOffSet=abc\n");
    EXPECT_EQ(mainMod::shared.FontSize, 0);
    EXPECT_EQ(mainMod::shared.Color1, 0);
    EXPECT_EQ(mainMod::shared.Color2, 0);
    EXPECT_EQ(mainMod::shared.ShowFileName, mainMod::kFalse);
    EXPECT_EQ(mainMod::shared.ShadowOffSet, 0);
}

TEST_F(Startup, ShowFileNameTrueKeepsTheMarkAndShowsTheCaption) {
    Start("[Main]\nShowFileName=-1\n");
    EXPECT_TRUE(Checked(mnuOP(5)));
    EXPECT_TRUE(Form(Form::Txt).visible);
}

TEST_F(Startup, ExactlyDefaultSizeAndFullOpacityAreChecked) {
    Start("");
    EXPECT_FALSE(Checked(mnuSize(0)));
    EXPECT_TRUE(Checked(mnuSize(1)));
    EXPECT_FALSE(Checked(mnuSize(2)));
    EXPECT_TRUE(Checked(mnuTrs(0)));
    EXPECT_FALSE(Checked(mnuTrs(1)));
    EXPECT_FALSE(Checked(mnuTrs(2)));
    EXPECT_EQ(mainMod::shared.SizeMode, 1);
    EXPECT_FALSE(Form(Form::Main).alpha.has_value()) << "the picture window starts not layered";
    EXPECT_FALSE(Form(Form::Main).layered);
}

// The first layout runs before the shadow mode is applied: it places the shadow window on the
// picture window's own rectangle; the margins come with the next placement.
struct ModeCase {
    const char* offSet;
    int checkedItem;  // -1: none
    mainMod::ShadowBoxRecord box;
    bool shadowVisible;
};

class StartupShadowMode : public Startup, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(StartupShadowMode, AppliesTheModeAfterTheFirstLayout) {
    const ModeCase& c = GetParam();
    Start(std::string("[Shadow]\nOffSet=") + c.offSet + "\n");
    EXPECT_EQ(rec.OpsStartingWith({"Move(Shadow"}),
              std::vector<std::string>{"Move(Shadow,3315,2910,2955,1980)"})
        << "the first placement uses no margins\n"
        << Dump();
    EXPECT_EQ(mainMod::shared.ShadowBox, c.box);
    for (std::int16_t i = 0; i < 4; ++i)
        EXPECT_EQ(Checked(mnuShadow(i)), i == c.checkedItem) << "mnuShadow(" << i << ")";
    EXPECT_EQ(Form(Form::Shadow).visible, c.shadowVisible);
    // The layout shows the shadow window in every mode, since no item is checked yet.
    const long shown = IndexOf("Show(Shadow)");
    EXPECT_GE(shown, 0) << Dump();
    if (!c.shadowVisible) {
        EXPECT_GT(LastIndexOf("Hide(Shadow)"), shown) << Dump();
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, StartupShadowMode,
                         ::testing::Values(ModeCase{"0", 0, {0, 0, 0, 0}, true},
                                           ModeCase{"1", 1, {25, 50, 25, 50}, true},
                                           ModeCase{"2", 2, {50, 100, 50, 100}, true},
                                           ModeCase{"3", 3, {0, 0, 0, 0}, false},
                                           ModeCase{"5", -1, {0, 0, 0, 0}, true},
                                           ModeCase{"-1", -1, {0, 0, 0, 0}, true},
                                           ModeCase{"7", -1, {0, 0, 0, 0}, true}),
                         [](const ::testing::TestParamInfo<ModeCase>& info) {
                             std::string name = std::string("OffSet_") + info.param.offSet;
                             for (char& ch : name)
                                 if (ch == '-') ch = 'm';
                             return name;
                         });

TEST_F(Startup, TheShadowWindowIsLayeredTransparentAndClickThroughFromItsCreation) {
    Start("");
    EXPECT_TRUE(Form(Form::Shadow).layered);
    EXPECT_TRUE(Form(Form::Shadow).clickThrough);
    ASSERT_TRUE(Form(Form::Shadow).alpha.has_value());
    EXPECT_EQ(*Form(Form::Shadow).alpha, 0);
    EXPECT_LT(IndexOf("SetOpacity(Shadow,0)"), IndexOf("Move(Shadow,3315,2910,2955,1980)"))
        << "set up before it is first placed\n"
        << Dump();
}

TEST_F(Startup, ThePictureWindowIsShownLastAboveItsCompanions) {
    Start("[Main]\nShowFileName=True\n");
    const long main = LastIndexOf("Show(Main)");
    EXPECT_GT(main, LastIndexOf("Show(Txt)")) << Dump();
    EXPECT_GT(main, LastIndexOf("Show(Shadow)")) << Dump();
    EXPECT_EQ(rec.Ops().back(), "RunMessageLoop()");
}

TEST_F(Startup, WithoutImageJpgTheWindowIsSizedFromTheEmptyHolderAndStillShown) {
    WriteOptions("");
    vistrelle::RunProgram();
    // The empty holder measures 113 x 65 pixels: landscape, 195 pixels wide.
    EXPECT_EQ(mainMod::shared.PicWidth, 2925);
    EXPECT_EQ(mainMod::shared.PicHeight, 1683);  // round(195 * 65 / 113 * 15) = round(1682.52)
    EXPECT_TRUE(Form(Form::Main).visible);
    EXPECT_EQ(IndexOf("ShowMessage"), -1);
}

TEST_F(Startup, AnUnreadableSettingsFileIsLikeAMissingOne) {
    WriteOptions("[Main]\nShowFileName=True\nSize=9\n");
    rec.FailOn("ReadString");
    AddPicture(u"image.jpg", 780, 520);
    vistrelle::RunProgram();
    EXPECT_EQ(mainMod::shared.FontSize, 0);
    EXPECT_EQ(mainMod::shared.ShowFileName, mainMod::kFalse);
    EXPECT_TRUE(Form(Form::Main).visible);
}

TEST_F(Startup, AProgramFolderAtADriveRootGetsNoSecondBackslash) {
    rec.exeFolder = u"D:\\";
    vistrelle::RunProgram();
    EXPECT_EQ(rec.OpsStartingWith({"ReadString"}).front(),
              "ReadString(D:\\option.ini,Main,Font,255)");
    EXPECT_EQ(mainMod::shared.PicturePath, u"D:\\image.jpg");
}

TEST_F(Startup, ClosingThePictureWindowEndsTheProgramAsExitDoes) {
    Start("");
    rec.ClearOps();
    platform::CurrentEvents()->SystemClose();
    const std::vector<std::string> expected = {"Destroy(Main)", "Destroy(Shadow)", "Destroy(Txt)",
                                               "EndProcess()"};
    EXPECT_EQ(rec.Ops(), expected);
    EXPECT_TRUE(rec.processEnded);
}

}  // namespace

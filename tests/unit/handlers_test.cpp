// What the pointer and the menus do to a started frame: the drag, the popup, the command,
// size, shadow and transparency menus, drops and the double click.
#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "app/program.hpp"
#include "frame_fixture.hpp"
#include "platform/menus.hpp"

namespace {

using namespace menu_names;
using platform::Form;

// A frame started with a 780 x 520 image.jpg: the picture window at its design place,
// (3315, 2910) outside its border, 2955 x 1980 twips.
class Handlers : public FrameTest {
  protected:
    void Start(const std::string& options = "[Main]\nShowFileName=True\n[Shadow]\nOffSet=1\n") {
        WriteOptions(options);
        AddPicture(u"image.jpg", 780, 520);
        vistrelle::RunProgram();
        rec.ClearOps();
    }
    // The operations that change what the user sees, in order.
    std::vector<std::string> VisibleSteps() const {
        return rec.OpsStartingWith({"Show(", "Hide(", "Move(", "RunMoveLoop", "ReleaseCapture",
                                    "Popup", "SetHeight", "SetWidth", "SetOpacity"});
    }
    int CheckedCount(std::int16_t count, resources::MenuItem (*item)(std::int16_t)) {
        int n = 0;
        for (std::int16_t i = 0; i < count; ++i) n += Checked(item(i));
        return n;
    }
};

TEST_F(Handlers, ALeftPressDragsTheWindowAndTheCompanionsFollow) {
    Start();
    rec.moveLoopDelta = {{3000, 1500}};
    frmMain::Form_MouseDown(platform::kLeftButton, 0, 10, 10);
    const std::vector<std::string> expected = {
        "ReleaseCapture()",
        "Hide(Txt)",
        "Hide(Shadow)",
        "RunMoveLoop(Main)",
        "Move(Txt,6315,6470,2955)",
        "Move(Shadow,6290,4385,3005,2030)",
        "Show(Txt)",
        "Show(Shadow)",
    };
    EXPECT_EQ(VisibleSteps(), expected) << Dump();
    // The caption is drawn once, when the button goes down.
    EXPECT_EQ(rec.OpsStartingWith({"PaintDesktop"}).size(), 1u);
}

TEST_F(Handlers, APressWithoutMovingPutsTheCompanionsBackWhereTheyWere) {
    Start();
    const auto txt = Form(Form::Txt);
    frmMain::Form_MouseDown(platform::kLeftButton, 0, 10, 10);
    EXPECT_EQ(Form(Form::Txt).left, txt.left);
    EXPECT_EQ(Form(Form::Txt).top, txt.top);
    EXPECT_TRUE(Form(Form::Txt).visible);
    // The shadow now takes the configured margins.
    EXPECT_EQ(rec.OpsStartingWith({"Move(Shadow"}),
              std::vector<std::string>{"Move(Shadow,3290,2885,3005,2030)"});
}

TEST_F(Handlers, AfterADragHiddenCompanionsStayHidden) {
    Start("[Shadow]\nOffSet=3\n");
    frmMain::Form_MouseDown(platform::kLeftButton, 0, 0, 0);
    EXPECT_FALSE(Form(Form::Txt).visible);
    EXPECT_FALSE(Form(Form::Shadow).visible);
    rec.FailOn("Checked(mnuShadow(3))");
    frmMain::mnuShadow_Click(1);
    frmMain::Form_MouseDown(platform::kLeftButton, 0, 0, 0);
    EXPECT_FALSE(Form(Form::Shadow).visible) << "an unreadable mark hides the shadow";
}

TEST_F(Handlers, RightAndMiddlePressesOpenThePopup) {
    Start();
    for (std::int16_t button : {platform::kRightButton, platform::kMiddleButton}) {
        rec.ClearOps();
        frmMain::Form_MouseDown(button, 0, 5, 5);
        EXPECT_EQ(VisibleSteps(), std::vector<std::string>{"Popup()"}) << "button " << button;
        EXPECT_EQ(rec.OpsStartingWith({"PaintDesktop"}).size(), 1u);
    }
}

struct SizeCase {
    std::int16_t index;
    std::int32_t picWidth, picHeight;
    const char* setHeight;
    const char* setWidth;
};

TEST_F(Handlers, SizePresetsScaleTheDefaultWindow) {
    Start();
    const SizeCase cases[] = {
        {2, 4432, 2970, "SetHeight(Main,3000)", "SetWidth(Main,4462)"},  // 4432.5: even
        {0, 1970, 1320, "SetHeight(Main,1350)", "SetWidth(Main,2000)"},
        {1, 2955, 1980, "SetHeight(Main,2010)", "SetWidth(Main,2985)"},
        {2, 4432, 2970, "SetHeight(Main,3000)", "SetWidth(Main,4462)"},  // again: the same
    };
    for (const SizeCase& c : cases) {
        rec.ClearOps();
        frmMain::mnuSize_Click(c.index);
        EXPECT_EQ(mainMod::shared.SizeMode, c.index);
        EXPECT_EQ(mainMod::shared.PicWidth, c.picWidth) << "preset " << c.index;
        EXPECT_EQ(mainMod::shared.PicHeight, c.picHeight) << "preset " << c.index;
        const auto sizes = rec.OpsStartingWith({"SetHeight", "SetWidth"});
        ASSERT_EQ(sizes.size(), 4u) << Dump();
        EXPECT_EQ(sizes[2], c.setHeight);
        EXPECT_EQ(sizes[3], c.setWidth);
        for (std::int16_t i = 0; i < 3; ++i) EXPECT_EQ(Checked(mnuSize(i)), i == c.index);
        EXPECT_EQ(rec.Ops().back(), "Show(Main)") << "the picture window comes back last";
    }
}

TEST_F(Handlers, SizeChoiceHidesAllThreeThenLaysOutAgain) {
    Start();
    frmMain::mnuSize_Click(0);
    const auto steps = VisibleSteps();
    const std::vector<std::string> head = {
        "SetHeight(Main,1980)", "SetWidth(Main,2955)", "Hide(Shadow)", "Hide(Main)", "Hide(Txt)",
        "SetHeight(Main,1350)", "SetWidth(Main,2000)"};
    ASSERT_GE(steps.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(steps.begin(), steps.begin() + head.size()), head) << Dump();
    EXPECT_GE(IndexOf("Cls(Main)"), 0);
    EXPECT_LT(IndexOf("Cls(Main)"), IndexOf("LoadPicture(C:\\Frame\\image.jpg)"));
}

TEST_F(Handlers, ShadowMenuSetsMarginsShowsAndPlaces) {
    Start();
    struct {
        std::int16_t index;
        const char* move;
        bool visible;
    } cases[] = {
        {1, "Move(Shadow,3290,2885,3005,2030)", true},
        {0, "Move(Shadow,3315,2910,2955,1980)", true},
        {2, "Move(Shadow,3265,2860,3055,2080)", true},
        {3, "Move(Shadow,3265,2860,3055,2080)", false},  // keeps the last margins
        {3, "Move(Shadow,3265,2860,3055,2080)", false},
        {1, "Move(Shadow,3290,2885,3005,2030)", true},
    };
    for (const auto& c : cases) {
        rec.ClearOps();
        frmMain::mnuShadow_Click(c.index);
        const auto steps = VisibleSteps();
        ASSERT_EQ(steps.size(), 2u) << Dump();
        EXPECT_EQ(steps[0], c.visible ? "Show(Shadow)" : "Hide(Shadow)");
        EXPECT_EQ(steps[1], c.move);
        EXPECT_EQ(CheckedCount(4, mnuShadow), 1);
        EXPECT_TRUE(Checked(mnuShadow(c.index)));
    }
    frmMain::mnuShadow_Click(3);
    frmMain::mnuSize_Click(2);
    frmMain::mnuTrs_Click(1);
    frmMain::Form_MouseDown(platform::kLeftButton, 0, 0, 0);
    EXPECT_FALSE(Form(Form::Shadow).visible) << "no shadow stays no shadow";
    const auto& main = Form(Form::Main);
    using platform::recording::Num;
    EXPECT_EQ(rec.OpsStartingWith({"Move(Shadow"}).back(),
              "Move(Shadow," + Num(main.left - 25) + "," + Num(main.top - 25) + "," +
                  Num(main.width + 50) + "," + Num(main.height + 50) + ")")
        << "but it follows, with the margins of mode 1";
}

TEST_F(Handlers, TransparencyMakesThePictureWindowLayeredAtTheChosenOpacity) {
    Start();
    frmMain::mnuTrs_Click(2);
    const std::vector<std::string> expected = {
        "Hide(Shadow)", "Hide(Main)",   "Hide(Txt)",  "SetOpacity(Main,128)",
        "Show(Txt)",    "Show(Shadow)", "Show(Main)",
    };
    EXPECT_EQ(VisibleSteps(), expected) << Dump();
    EXPECT_EQ(Form(Form::Main).alpha, 128);
    for (auto [index, alpha] : {std::pair<std::int16_t, int>{1, 204}, {0, 255}, {0, 255}}) {
        frmMain::mnuTrs_Click(index);
        EXPECT_EQ(Form(Form::Main).alpha, alpha);
        EXPECT_TRUE(Form(Form::Main).layered) << "stays layered";
        EXPECT_EQ(CheckedCount(3, mnuTrs), 1);
        EXPECT_TRUE(Checked(mnuTrs(index)));
    }
    EXPECT_EQ(Form(Form::Shadow).alpha, 0) << "the shadow keeps its own opacity";
}

TEST_F(Handlers, TransparencyLeavesHiddenCompanionsHidden) {
    Start("[Shadow]\nOffSet=3\n");
    frmMain::mnuTrs_Click(1);
    EXPECT_FALSE(Form(Form::Txt).visible);
    EXPECT_FALSE(Form(Form::Shadow).visible);
    EXPECT_TRUE(Form(Form::Main).visible);
}

TEST_F(Handlers, CaptionToggleMovesMarkAndWindowTogether) {
    Start();
    ASSERT_TRUE(Checked(mnuOP(5)));
    frmMain::mnuOP_Click(5);
    EXPECT_FALSE(Checked(mnuOP(5)));
    EXPECT_EQ(mainMod::shared.ShowFileName, mainMod::kFalse);
    EXPECT_FALSE(Form(Form::Txt).visible);
    frmMain::mnuOP_Click(5);
    EXPECT_TRUE(Checked(mnuOP(5)));
    EXPECT_EQ(mainMod::shared.ShowFileName, mainMod::kTrue);
    EXPECT_TRUE(Form(Form::Txt).visible);
    EXPECT_TRUE(rec.OpsStartingWith({"Move("}).empty()) << "nothing is laid out";
}

TEST_F(Handlers, OpenDialogCancelledReloadsTheCurrentPictureAtDefaultSize) {
    Start();
    frmMain::mnuSize_Click(2);
    rec.ClearOps();
    rec.openDialogAnswer.reset();
    frmMain::mnuOP_Click(0);
    EXPECT_EQ(
        rec.OpsStartingWith({"ShowOpen"}),
        std::vector<std::string>{"ShowOpen(图片文件         ,图片文件|*.jpg;*.jpeg;*.bmp;*.gif,"
                                 "C:\\Frame\\image.jpg)"});
    EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\Frame\\image.jpg");
    EXPECT_GE(IndexOf("LoadPicture(C:\\Frame\\image.jpg)"), 0);
    EXPECT_EQ(mainMod::shared.SizeMode, 1);
    EXPECT_TRUE(Checked(mnuSize(1)));
    EXPECT_FALSE(Checked(mnuSize(2)));
}

TEST_F(Handlers, OpenDialogChoiceShowsTheNewPicture) {
    Start();
    AddPicture(u"D:\\照片\\夏天.jpg", 600, 900);
    rec.openDialogAnswer = u"D:\\照片\\夏天.jpg";
    frmMain::mnuOP_Click(0);
    EXPECT_EQ(mainMod::shared.PicturePath, u"D:\\照片\\夏天.jpg");
    EXPECT_EQ(mainMod::shared.CaptionText, u"夏天.jpg");
    EXPECT_EQ(mainMod::shared.Portrait, mainMod::kTrue);
}

TEST_F(Handlers, SeparatorsSubmenuParentsAndUnknownIndicesDoNothing) {
    Start();
    for (std::int16_t i : {1, 2, 3, 4, 6, 8, 11, -1, 32767}) frmMain::mnuOP_Click(i);
    frmMain::mnuSize_Click(3);
    frmMain::mnuShadow_Click(4);
    frmMain::mnuTrs_Click(-1);
    const auto changes =
        rec.OpsStartingWith({"Move(", "Show(", "SetChecked", "SetOpacity", "StartProgram",
                             "ShowMessage", "EndProcess", "Destroy"});
    // An unknown size index still reloads at the default size, as every size choice does.
    for (const auto& op : changes)
        EXPECT_TRUE(op.rfind("SetChecked(mnuSize", 0) == 0 || op.rfind("Move(", 0) == 0 ||
                    op.rfind("Show(", 0) == 0)
            << op;
    EXPECT_EQ(mainMod::shared.SizeMode, 1);
    EXPECT_EQ(CheckedCount(4, mnuShadow), 1);
    EXPECT_FALSE(rec.processEnded);
}

TEST_F(Handlers, NewCopyStartsTheRunningProgramItself) {
    Start();
    rec.exePath = u"C:\\My Programs\\Frame Renamed.exe";
    frmMain::mnuOP_Click(7);
    EXPECT_EQ(rec.OpsStartingWith({"StartProgram"}),
              std::vector<std::string>{"StartProgram(C:\\My Programs\\Frame Renamed.exe)"});
}

TEST_F(Handlers, AboutHasFiveLinesTheThirdEmpty) {
    Start();
    frmMain::mnuOP_Click(9);
    const auto shown = rec.OpsStartingWith({"ShowMessage("});
    ASSERT_EQ(shown.size(), 1u);
    const std::string text = shown[0].substr(12, shown[0].size() - 13);
    std::vector<std::string> lines;
    for (std::size_t pos = 0;;) {
        const std::size_t end = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, end - pos));
        if (end == std::string::npos) break;
        pos = end + 2;
    }
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(lines[2].empty());
    for (int i : {0, 1, 3, 4}) EXPECT_FALSE(lines[i].empty()) << "line " << i + 1;
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "lines end with CR LF";
}

TEST_F(Handlers, ExitUnloadsTheThreeWindowsInOrderAndEnds) {
    Start();
    frmMain::mnuOP_Click(10);
    EXPECT_EQ(rec.Ops(), (std::vector<std::string>{"Destroy(Main)", "Destroy(Shadow)",
                                                   "Destroy(Txt)", "EndProcess()"}));
}

class FakeDrop : public platform::DropData {
  public:
    std::optional<bool> hasFiles = true;
    std::optional<std::vector<std::u16string>> files;
    std::optional<bool> OffersFiles() override { return hasFiles; }
    std::optional<std::vector<std::u16string>> Files() override { return files; }
};

TEST_F(Handlers, DragOverAcceptsOnlyFileLists) {
    Start();
    FakeDrop drop;
    using platform::DropEffect;
    const struct {
        std::optional<bool> hasFiles;
        DropEffect effect;
    } cases[] = {
        {true, DropEffect::Copy}, {false, DropEffect::None}, {std::nullopt, DropEffect::Copy}};
    for (const auto& c : cases) {
        drop.hasFiles = c.hasFiles;
        DropEffect effect = c.effect == DropEffect::Copy ? DropEffect::None : DropEffect::Copy;
        frmMain::Form_OLEDragOver(drop, effect);
        EXPECT_EQ(effect, c.effect);
    }
}

TEST_F(Handlers, ADropShowsTheLastFileOfTheList) {
    Start();
    AddPicture(u"E:\\c.bmp", 600, 900);
    FakeDrop drop;
    drop.files = std::vector<std::u16string>{u"E:\\a.jpg", u"E:\\b.gif", u"E:\\c.bmp"};
    frmMain::Form_OLEDragDrop(drop);
    EXPECT_EQ(mainMod::shared.PicturePath, u"E:\\c.bmp");
    EXPECT_EQ(mainMod::shared.Portrait, mainMod::kTrue);
    EXPECT_EQ(mainMod::shared.CaptionText, u"c.bmp");

    drop.files = std::vector<std::u16string>{};
    rec.ClearOps();
    frmMain::Form_OLEDragDrop(drop);
    EXPECT_EQ(mainMod::shared.PicturePath, u"E:\\c.bmp") << "an empty list keeps the path";
    EXPECT_GE(IndexOf("LoadPicture(E:\\c.bmp)"), 0) << "and reloads it";

    drop.files = std::vector<std::u16string>{u"E:\\notes.txt"};
    frmMain::Form_OLEDragDrop(drop);
    EXPECT_EQ(mainMod::shared.PicturePath, u"E:\\notes.txt") << "no extension filter";
    EXPECT_EQ(mainMod::shared.CaptionText, u"notes.txt");
}

TEST_F(Handlers, DoubleClickOpensThePictureWithItsAssociatedProgram) {
    Start();
    FakeDrop drop;
    drop.files = std::vector<std::u16string>{u"E:\\dropped&odd.jpg"};
    frmMain::Form_OLEDragDrop(drop);
    rec.ClearOps();
    frmMain::Form_DblClick();
    EXPECT_EQ(rec.OpsStartingWith({"OpenWithAssociation"}),
              std::vector<std::string>{"OpenWithAssociation(E:\\dropped&odd.jpg,C:\\Frame)"});
}

}  // namespace

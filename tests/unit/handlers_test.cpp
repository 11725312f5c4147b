// What the pointer and the menus do to a started frame: the drag, the popup, the command,
// size, shadow and transparency menus, drops and the double click.
#include <cmath>
#include <initializer_list>
#include <regex>

#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "app/program.hpp"
#include "frame_fixture.hpp"
#include "platform/menus.hpp"

namespace {

using namespace menu_names;
using platform::Form;
using platform::Twips;
using platform::TwipsRect;

constexpr const char* kCaptionAndShadow1 = "[Main]\nShowFileName=True\n[Shadow]\nOffSet=1\n";

// A frame started with a 780 x 520 image.jpg: the picture window 2955 x 1980 twips. Each test
// starts with one, with the file name shown and the first shadow.
class Handlers : public FrameTest {
  protected:
    void SetUp() override { Start(); }
    void Start(const std::string& options = kCaptionAndShadow1) {
        FrameTest::SetUp();
        WriteOptions(options);
        AddPicture(u"image.jpg", 780, 520);
        vistrelle::RunProgram();
        rec.ClearOps();
    }
    // Where the companions belong around the picture window as it stands, with shadow margins
    // m, on whole pixels as the window system puts them.
    TwipsRect CaptionPlace() {
        const TwipsRect m = Rect(Form::Main);
        return Snapped({m.left, m.top + m.height + 80_tw, m.width, Rect(Form::Txt).height});
    }
    TwipsRect ShadowPlace(Twips m) {
        const TwipsRect r = Rect(Form::Main);
        return Snapped({r.left - m, r.top - m, r.width + 2 * m, r.height + 2 * m});
    }
    static TwipsRect Snapped(TwipsRect r) {
        for (Twips* v : {&r.left, &r.top, &r.width, &r.height})
            *v = Twips(std::nearbyint(v->Value() / 15) * 15);
        return r;
    }
};

// The companions hide while the window moves and come back placed around its new place, each
// by its rule; the caption is drawn for the press.
TEST_F(Handlers, ALeftPressDragsTheWindowAndTheCompanionsFollow) {
    const struct {
        const char* what;
        const char* options;
        std::pair<double, double> delta;
        bool failMark, captionVisible, shadowVisible;
    } cases[] = {
        {"a drag", kCaptionAndShadow1, {3000, 1500}, false, true, true},
        {"a press without moving", kCaptionAndShadow1, {0, 0}, false, true, true},
        {"hidden companions", "[Shadow]\nOffSet=3\n", {30, 30}, false, false, false},
        {"an unreadable no-shadow mark", kCaptionAndShadow1, {30, 30}, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Start(c.options);
        const TwipsRect before = Rect(Form::Main);
        rec.moveLoopDelta = {Twips(c.delta.first), Twips(c.delta.second)};
        rec.desktopDrawn = false;
        if (c.failMark) rec.FailOn("Checked(mnuShadow(3))");
        frmMain::Form_MouseDown(platform::kLeftButton, 0, 10, 10);
        EXPECT_FALSE(rec.visibleWhileMoving[static_cast<std::uint8_t>(Form::Txt)]);
        EXPECT_FALSE(rec.visibleWhileMoving[static_cast<std::uint8_t>(Form::Shadow)]);
        EXPECT_EQ(Rect(Form::Main).left, before.left + Twips(c.delta.first));
        EXPECT_EQ(Rect(Form::Txt), CaptionPlace());
        EXPECT_EQ(Rect(Form::Shadow), ShadowPlace(mainMod::shared.ShadowBox.DX));
        EXPECT_EQ(Form(Form::Txt).visible, c.captionVisible);
        EXPECT_EQ(Form(Form::Shadow).visible, c.shadowVisible);
        EXPECT_TRUE(!c.captionVisible || ShownInPlace(Form::Txt));
        EXPECT_TRUE(!c.shadowVisible || ShownInPlace(Form::Shadow));
        EXPECT_TRUE(rec.desktopDrawn) << "the caption is drawn for the press";
    }
    EXPECT_EQ(Rect(Form::Shadow), ShadowPlace(25_tw)) << "the drag applies the configured margins";
}

// After a display change a frame left on no monitor comes back onto the nearest work area, the
// shown caption with it, its size kept; its companions follow and stay as they were shown.
TEST_F(Handlers, ADisplayChangeBringsAFrameLeftOffScreenBack) {
    using platform::windows::Monitor;
    const Monitor wide = {{0_tw, 0_tw, 28800_tw, 16200_tw},
                          {0_tw, 0_tw, 28800_tw, 15600_tw},
                          u"A"};  // 1920 x 1080, task bar
    const Monitor right = {
        {28800_tw, 0_tw, 19200_tw, 15360_tw}, {28800_tw, 0_tw, 19200_tw, 15360_tw}, u"B"};
    const Monitor tiny = {{0_tw, 0_tw, 2250_tw, 1500_tw},
                          {0_tw, 0_tw, 2250_tw, 1500_tw},
                          u"C"};  // smaller than the frame
    // The frame: the picture window 2955 x 1980 twips, then 80 twips and the caption.
    const double frame = 1980 + 80 + Rect(Form::Txt).height.Value();
    const struct {
        const char* what;
        std::vector<Monitor> monitors;
        double left, top;        // where the display change finds the picture window
        double newLeft, newTop;  // where it puts it
    } cases[] = {
        {"partly on the monitor", {wide}, -2895, 105, -2895, 105},
        {"left of the monitor", {wide}, -6000, 3000, 0, 3000},
        {"below the work area", {wide}, 4995, 16995, 4995, 15600 - frame},
        {"nearer the second monitor", {wide, right}, 49995, 19995, 48000 - 2955, 15360 - frame},
        {"on a monitor too small", {tiny}, -9000, -9000, 0, 0},
        {"no monitor known", {}, -9000, -9000, -9000, -9000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Start();
        rec.monitors = c.monitors;
        Form(Form::Main).left = Twips(c.left);
        Form(Form::Main).top = Twips(c.top);
        const TwipsRect caption = Rect(Form::Txt), shadow = Rect(Form::Shadow);
        frmMain::Form_DisplayChanged();
        EXPECT_EQ(Rect(Form::Main), Snapped({Twips(c.newLeft), Twips(c.newTop), 2955_tw, 1980_tw}));
        const bool moved = c.newLeft != c.left || c.newTop != c.top;
        EXPECT_EQ(Rect(Form::Txt), moved ? CaptionPlace() : caption);
        EXPECT_EQ(Rect(Form::Shadow), moved ? ShadowPlace(25_tw) : shadow);
        EXPECT_TRUE(Form(Form::Txt).visible && Form(Form::Shadow).visible);
    }
}

TEST_F(Handlers, OtherButtonsAndTheMenuKeyOpenThePopupWhereTheyAsk) {
    const TwipsRect main = Rect(Form::Main);
    frmMain::Form_MouseDown(platform::kRightButton, 0, 5, 5);
    frmMain::Form_MouseDown(platform::kMiddleButton, 0, 5, 5);
    frmMain::Form_MenuKey(platform::ScreenPoint{240, 210});
    EXPECT_EQ(rec.OpsStartingWith({"Popup"}),
              (std::vector<std::string>{"Popup()", "Popup()", "Popup(240,210)"}));
    EXPECT_EQ(Rect(Form::Main), main);
    EXPECT_TRUE(Form(Form::Txt).visible && Form(Form::Shadow).visible) << "nothing is hidden";
}

// Each choice starts again from the default sizing and scales the window, margin included,
// then lays out the frame anew with the picture window in front.
TEST_F(Handlers, SizePresetsScaleTheDefaultWindow) {
    const struct {
        std::int16_t index;
        units::Whole<Twips> picWidth, picHeight;
        Twips width, height;  // as the window system rounds them to whole pixels
        const char* marks;
    } cases[] = {
        // 4432.5 rounds to even; 4462 twips are 297 pixels
        {2, 4432_tw, 2970_tw, 4455_tw, 3000_tw, "001"},
        {0, 1970_tw, 1320_tw, 1995_tw, 1350_tw, "100"},
        {1, 2955_tw, 1980_tw, 2985_tw, 2010_tw, "010"},  // 30 twips larger than after a load
        {2, 4432_tw, 2970_tw, 4455_tw, 3000_tw, "001"},  // again: the same
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        frmMain::mnuSize_Click(c.index);
        EXPECT_EQ(mainMod::shared.SizeMode, c.index);
        EXPECT_EQ(mainMod::shared.PicWidth, c.picWidth);
        EXPECT_EQ(mainMod::shared.PicHeight, c.picHeight);
        EXPECT_EQ(Rect(Form::Main).width, c.width);
        EXPECT_EQ(Rect(Form::Main).height, c.height);
        EXPECT_EQ(Marks(mnuSize, 3), c.marks);
        EXPECT_TRUE(InFront(Form::Main));
        EXPECT_TRUE(ShownInPlace(Form::Txt) && ShownInPlace(Form::Shadow));
        EXPECT_EQ(Rect(Form::Txt), CaptionPlace());
    }
}

TEST_F(Handlers, ShadowMenuSetsMarginsShowsAndPlaces) {
    const struct {
        std::int16_t index;
        Twips margin;
        bool visible;
    } cases[] = {
        {1, 25_tw, true},  {0, 0_tw, true},
        {2, 50_tw, true},  {3, 50_tw, false},  // keeps the last margins
        {3, 50_tw, false}, {1, 25_tw, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        frmMain::mnuShadow_Click(c.index);
        EXPECT_EQ(Rect(Form::Shadow), ShadowPlace(c.margin));
        EXPECT_EQ(Form(Form::Shadow).visible, c.visible);
        std::string marks = "0000";
        marks[c.index] = '1';
        EXPECT_EQ(Marks(mnuShadow, 4), marks);
    }
    frmMain::mnuShadow_Click(3);
    frmMain::mnuSize_Click(2);
    frmMain::mnuTrs_Click(1);
    frmMain::Form_MouseDown(platform::kLeftButton, 0, 0, 0);
    EXPECT_FALSE(Form(Form::Shadow).visible) << "no shadow stays no shadow";
    EXPECT_EQ(Rect(Form::Shadow), ShadowPlace(25_tw))
        << "but it follows, with the margins of mode 1";
}

// The picture window becomes layered for good at the chosen opacity and comes back in front of
// its companions, which come back by their rules.
TEST_F(Handlers, TransparencyMakesThePictureWindowLayeredAtTheChosenOpacity) {
    const struct {
        const char* options;
        std::int16_t index;
        std::uint8_t alpha;
        const char* marks;
        bool captionVisible, shadowVisible;
    } cases[] = {
        {kCaptionAndShadow1, 2, 128, "001", true, true},
        {kCaptionAndShadow1, 1, 204, "010", true, true},
        {kCaptionAndShadow1, 0, 255, "100", true, true},
        {"[Shadow]\nOffSet=3\n", 1, 204, "010", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        Start(c.options);
        frmMain::mnuTrs_Click(2);
        frmMain::mnuTrs_Click(c.index);
        EXPECT_EQ(Form(Form::Main).alpha, c.alpha);
        EXPECT_TRUE(Form(Form::Main).layered) << "stays layered";
        EXPECT_EQ(Marks(mnuTrs, 3), c.marks);
        EXPECT_TRUE(InFront(Form::Main));
        EXPECT_EQ(Form(Form::Txt).visible, c.captionVisible);
        EXPECT_EQ(Form(Form::Shadow).visible, c.shadowVisible);
        EXPECT_EQ(Form(Form::Shadow).alpha, 0) << "the shadow keeps its own opacity";
    }
}

TEST_F(Handlers, CaptionToggleMovesMarkAndWindowTogether) {
    const TwipsRect caption = Rect(Form::Txt);
    for (const bool shown : {false, true}) {
        frmMain::mnuOP_Click(op::kShowFileName);
        EXPECT_EQ(Checked(mnuOP(op::kShowFileName)), shown);
        EXPECT_EQ(mainMod::shared.ShowFileName, shown ? mainMod::kTrue : mainMod::kFalse);
        EXPECT_EQ(Form(Form::Txt).visible, shown);
    }
    EXPECT_EQ(Rect(Form::Txt), caption) << "nothing is laid out";
}

TEST_F(Handlers, OpenDialogCancelledReloadsTheCurrentPictureAtDefaultSize) {
    frmMain::mnuSize_Click(2);
    rec.openDialogAnswer.reset();
    frmMain::mnuOP_Click(op::kOpenPicture);
    EXPECT_EQ(
        rec.OpsStartingWith({"ShowOpen"}),
        std::vector<std::string>{
            "ShowOpen(图片文件         ,图片文件|*.jpg;*.jpeg;*.bmp;*.gif|所有图片|*.jpg;*.jpeg;"
            "*.jpe;*.jfif;*.png;*.gif;*.bmp;*.dib;*.tif;*.tiff;*.ico;*.cur;*.webp;*.heic;*.heif;"
            "*.avif;*.jxl;*.dds;*.jxr;*.wdp,C:\\Frame\\image.jpg)"});
    EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\Frame\\image.jpg");
    EXPECT_EQ(mainMod::shared.SizeMode, 1);
    EXPECT_EQ(Marks(mnuSize, 3), "010");
    EXPECT_EQ(Rect(Form::Main).width, 2955_tw);
}

TEST_F(Handlers, OpenDialogChoiceShowsTheNewPicture) {
    AddPicture(u"D:\\照片\\夏天.jpg", 600, 900);
    rec.openDialogAnswer = u"D:\\照片\\夏天.jpg";
    frmMain::mnuOP_Click(op::kOpenPicture);
    EXPECT_EQ(mainMod::shared.PicturePath, u"D:\\照片\\夏天.jpg");
    EXPECT_EQ(mainMod::shared.CaptionText, u"夏天.jpg");
    EXPECT_EQ(mainMod::shared.Portrait, mainMod::kTrue);
}

TEST_F(Handlers, SeparatorsSubmenuParentsAndUnknownIndicesDoNothing) {
    const auto before = rec.forms;
    const auto main = Rect(Form::Main);
    const auto marks = rec.checked;
    for (std::int16_t i : std::initializer_list<std::int16_t>{1, 2, 3, 4, 6, 8, 11, -1, 32767})
        frmMain::mnuOP_Click(i);
    frmMain::mnuShadow_Click(4);
    frmMain::mnuTrs_Click(-1);
    // An unknown size index still reloads at the default size, as every size choice does.
    frmMain::mnuSize_Click(3);
    for (const auto& [form, state] : before) {
        EXPECT_EQ(rec.forms[form].visible, state.visible);
        EXPECT_EQ(rec.forms[form].alpha, state.alpha);
    }
    EXPECT_EQ(Rect(Form::Main), main);
    EXPECT_EQ(rec.checked, marks);
    EXPECT_EQ(mainMod::shared.SizeMode, 1);
    EXPECT_FALSE(Did("ShowMessage") || Did("StartProgram") || Did("ShowOpen"));
    EXPECT_FALSE(rec.processEnded);
}

TEST_F(Handlers, NewCopyStartsTheRunningProgramItself) {
    rec.exePath = u"C:\\My Programs\\Frame Renamed.exe";
    frmMain::mnuOP_Click(op::kNewCopy);
    EXPECT_EQ(rec.OpsStartingWith({"StartProgram"}),
              std::vector<std::string>{"StartProgram(C:\\My Programs\\Frame Renamed.exe)"});
}

TEST_F(Handlers, AboutHasFiveLinesTheThirdEmpty) {
    frmMain::mnuOP_Click(op::kAbout);
    const auto shown = rec.OpsStartingWith({"ShowMessage("});
    ASSERT_EQ(shown.size(), 1u);
    // Five lines ending with CR LF, the third empty, the others not.
    const std::string text = shown[0].substr(12, shown[0].size() - 13);
    const std::string line = "[^\\r\\n]+";
    EXPECT_TRUE(std::regex_match(
        text, std::regex(line + "\r\n" + line + "\r\n\r\n" + line + "\r\n" + line)))
        << text;
}

class FakeDrop : public platform::DropData {
  public:
    std::optional<bool> hasFiles = true;
    std::optional<std::vector<std::u16string>> files;
    std::optional<bool> OffersFiles() override { return hasFiles; }
    std::optional<std::vector<std::u16string>> Files() override { return files; }
};

TEST_F(Handlers, DragOverAcceptsOnlyFileListsAndWhenTheQuestionFails) {
    FakeDrop drop;
    using platform::DropEffect;
    for (const auto& [hasFiles, expected] : {std::pair{std::optional<bool>(true), DropEffect::Copy},
                                             {std::optional<bool>(false), DropEffect::None},
                                             {std::nullopt, DropEffect::Copy}}) {
        drop.hasFiles = hasFiles;
        DropEffect effect = expected == DropEffect::Copy ? DropEffect::None : DropEffect::Copy;
        frmMain::Form_OLEDragOver(drop, effect);
        EXPECT_EQ(effect, expected);
    }
}

TEST_F(Handlers, ADropShowsTheLastFileOfTheList) {
    AddPicture(u"E:\\c.bmp", 600, 900);
    FakeDrop drop;
    drop.files = std::vector<std::u16string>{u"E:\\a.jpg", u"E:\\b.gif", u"E:\\c.bmp"};
    frmMain::Form_OLEDragDrop(drop);
    EXPECT_EQ(mainMod::shared.PicturePath, u"E:\\c.bmp");
    EXPECT_EQ(mainMod::shared.Portrait, mainMod::kTrue);
    EXPECT_EQ(mainMod::shared.CaptionText, u"c.bmp");

    frmMain::mnuSize_Click(2);
    drop.files = std::vector<std::u16string>{};
    frmMain::Form_OLEDragDrop(drop);
    EXPECT_EQ(mainMod::shared.PicturePath, u"E:\\c.bmp") << "an empty list keeps the path";
    EXPECT_EQ(Marks(mnuSize, 3), "010") << "and reloads it at the default size";

    drop.files = std::vector<std::u16string>{u"E:\\notes.txt"};
    frmMain::Form_OLEDragDrop(drop);
    EXPECT_EQ(mainMod::shared.PicturePath, u"E:\\notes.txt") << "no extension filter";
    EXPECT_EQ(mainMod::shared.CaptionText, u"notes.txt");
}

TEST_F(Handlers, DoubleClickOpensThePictureWithItsAssociatedProgram) {
    FakeDrop drop;
    drop.files = std::vector<std::u16string>{u"E:\\dropped&odd.jpg"};
    frmMain::Form_OLEDragDrop(drop);
    frmMain::Form_DblClick();
    EXPECT_EQ(rec.OpsStartingWith({"OpenWithAssociation"}),
              std::vector<std::string>{"OpenWithAssociation(E:\\dropped&odd.jpg,C:\\Frame)"});
}

}  // namespace

// Remembered frames: the record's text read field by field, the monitor rule, and a frame's
// record written, brought back and followed when its monitor comes back (closing and the
// setting off are seen end to end).
#include <string>
#include <vector>

#include "app/frame_place.hpp"
#include "app/frame_record.hpp"
#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "app/program.hpp"
#include "frame_fixture.hpp"
#include "platform/events.hpp"

namespace {

using frame_record::PixelBox;
using frame_record::PixelPoint;
using frame_record::Record;
using platform::Form;
using platform::Twips;
using platform::windows::Monitor;

constexpr const char* kOn = "[Frames]\nRemember=True\n[Main]\nShowFileName=True\n";
constexpr const char16_t* kId = u"0123456789abcdef0123456789abcdef";
constexpr const char16_t* kOther = u"fedcba9876543210fedcba9876543210";

// What is read, as it is written again: the sound fields only.
TEST(FrameRecord, ReadsEachFieldOnItsOwn) {
    const std::string head = "Vistrelle frame 1\n";
    const std::string whole =
        "Picture=C:\\猫.jpg\nMonitor=\\\\.\\DISPLAY2\nMonitorArea=1920 0 1280 1024\n"
        "Place=-20 80\nDpi=144\nSize=2\nOpacity=1\nShadow=3\nCaption=True\nPace=30\n"
        "Shuffle=False\nLock=True\n";
    std::string crlf = head + whole;
    for (std::size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2)
        crlf.insert(at, "\r");
    const struct {
        const char* what;
        std::string text, read;
    } cases[] = {
        {"whole, CR LF", crlf, whole},
        {"another version, a field twice: the first counts, sound or not",
         "Vistrelle frame 9\nSize=7\nSize=1\nOpacity=2\nOpacity=0\nFuture=1\n", "Opacity=2\n"},
        {"cut short", head + "Dpi=96\nMonitorArea=0 0 19", "Dpi=96\n"},
        {"not numbers, out of range, signs and blanks",
         "Place=1e3 4\nMonitorArea=0 0 0 100\nDpi=20\nPace=+5\nSize= 1\nShadow=-0\n"
         "Caption=true\nLock=1\nPlace=1 2\n",
         "Shadow=0\n"},
        {"far beyond every screen", "Place=1000001 0\nMonitorArea=-1000000 0 1000000 1\n",
         "MonitorArea=-1000000 0 1000000 1\n"},
        {"a path over 32767 characters", "Picture=C:\\" + std::string(32767, 'a') + "\n", ""},
        {"broken UTF-8, control characters, an empty name",
         "Picture=C:\\\xC3(.jpg\nMonitor=\x01\nMonitor=x\nPicture=\n", ""},
        {"NUL bytes and no line end", std::string("Picture=a\0b\nSize=0", 18), "Size=0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Record read = frame_record::Read(c.text);
        EXPECT_EQ(frame_record::Write(read), head + c.read);
        EXPECT_TRUE(frame_record::Read(frame_record::Write(read)) == read) << "written back";
    }
}

// Twips at 96 dpi: 15 a pixel. Two monitors side by side, the task bar under the first.
const Monitor kFirst{
    {0_tw, 0_tw, 28800_tw, 16200_tw}, {0_tw, 0_tw, 28800_tw, 15600_tw}, u"\\\\.\\DISPLAY1"};
const Monitor kSecond{
    {28800_tw, 0_tw, 19200_tw, 15360_tw}, {28800_tw, 0_tw, 19200_tw, 15360_tw}, u"\\\\.\\DISPLAY2"};

TEST(FramePlace, LandsOnItsMonitorOrTheNearestWhole) {
    const frame_record::Place onSecond{u"\\\\.\\DISPLAY2", PixelBox{1920, 0, 1280, 1024},
                                       PixelPoint{100, 50}, 96};
    auto renamed = onSecond;
    renamed.monitor = u"\\\\.\\DISPLAY7";
    auto at144 = onSecond;
    at144.dpi = 144;
    auto farOut = onSecond;
    farOut.offset = PixelPoint{-900000, 900000};
    auto nearRight = onSecond;
    nearRight.offset = PixelPoint{1250, 1000};
    frame_record::Place bare;
    bare.offset = PixelPoint{10, 20};
    const struct {
        const char* what;
        frame_record::Place place;
        std::vector<Monitor> monitors;
        double left, top;
        bool home;
    } cases[] = {
        {"its monitor, by name", onSecond, {kFirst, kSecond}, 28800 + 1500, 750, true},
        {"renamed, known by its rectangle", renamed, {kFirst, kSecond}, 28800 + 1500, 750, true},
        {"taken at 144 dpi: two thirds of the pixels",
         at144,
         {kFirst, kSecond},
         28800 + 1000,
         500,
         true},
        {"wholly outside its work area: brought within",
         farOut,
         {kFirst, kSecond},
         28800,
         15360 - 1500,
         true},
        {"its monitor gone: the nearest, whole",
         nearRight,
         {kFirst},
         28800 - 3000,
         15600 - 1500,
         false},
        {"no monitor recorded: the first", bare, {kSecond, kFirst}, 150, 300, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto landing = frame_place::Land(c.place, 3000_tw, 1500_tw, c.monitors, 96);
        ASSERT_TRUE(landing);
        EXPECT_DOUBLE_EQ(landing->left.Value(), c.left);
        EXPECT_DOUBLE_EQ(landing->top.Value(), c.top);
        EXPECT_EQ(landing->home, c.home);
    }
    EXPECT_FALSE(frame_place::Land(frame_record::Place(), 3000_tw, 1500_tw, {kFirst}, 96))
        << "no place";
    EXPECT_FALSE(frame_place::Land(onSecond, 3000_tw, 1500_tw, {}, 96)) << "no monitor known";
    const auto place = frame_place::PlaceOf({Twips(28800 + 1500), 750_tw, 3000_tw, 1500_tw},
                                            {kFirst, kSecond}, 96);
    EXPECT_TRUE(place && *place == onSecond) << "the place of a frame is read back";
}

class Frames : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        rec.monitors = {kFirst, kSecond};
        AddPicture(u"image.jpg", 780, 520);
        AddPicture(u"D:\\cat.jpg", 400, 600);
    }
    void Start(const char* options = kOn) {
        WriteOptions(options);
        vistrelle::RunProgram();
    }
    Record Stored(const std::u16string& id) { return frame_record::Read(rec.frameRecords[id]); }
    static platform::Events& Events() { return *platform::CurrentEvents(); }
    void Drag(double dx, double dy) {
        rec.moveLoopDelta = {Twips(dx), Twips(dy)};
        Events().MouseDown(platform::kLeftButton, 0, 5, 5);
    }
};

// A new frame's record is written when it starts and again when what it shows changes; the same
// state writes nothing, and a drag writes once, when the frame is dropped.
TEST_F(Frames, ARecordIsWrittenWhenTheStateChanges) {
    Start();
    const std::u16string id = rec.claimed.at(0);
    EXPECT_EQ(Stored(id).place.offset, (PixelPoint{221, 194})) << "the design place";
    Events().MenuClick(menu_names::mnuTrs(2));
    Events().MenuClick(menu_names::mnuTrs(2));
    Drag(-900, 1500);
    const Record r = Stored(id);
    EXPECT_EQ(r.picture, u"C:\\Frame\\image.jpg");
    EXPECT_EQ(r.place.monitor, u"\\\\.\\DISPLAY1");
    EXPECT_EQ(r.place.offset, (PixelPoint{221 - 60, 194 + 100}));
    EXPECT_EQ(r.opacity, 2);
    EXPECT_EQ(rec.OpsStartingWith({"WriteFrame"}).size(), 3u) << "start, opacity, drop";
}

TEST_F(Frames, ARecordBringsItsFrameBackAsItWas) {
    rec.arguments = {std::u16string(u"/frame:") + kId};
    rec.frameRecords[kId] =
        "Vistrelle frame 1\nPicture=D:\\cat.jpg\nMonitor=\\\\.\\DISPLAY2\nPlace=100 50\nDpi=96\n"
        "Size=2\nOpacity=1\nShadow=3\nCaption=False\nPace=30\nShuffle=True\nLock=True\n";
    Start();
    EXPECT_EQ(mainMod::shared.PicturePath, u"D:\\cat.jpg");
    EXPECT_EQ(Rect(Form::Main).left, Twips(28800 + 1500));
    EXPECT_EQ(Rect(Form::Main).top, 750_tw);
    EXPECT_EQ(Marks(menu_names::mnuSize, 3), "001");
    EXPECT_EQ(Marks(menu_names::mnuTrs, 3), "010");
    EXPECT_EQ(Marks(menu_names::mnuShadow, 4), "0001");
    EXPECT_FALSE(Form(Form::Shadow).visible || Form(Form::Txt).visible);
    EXPECT_EQ(rec.timerMilliseconds, 30000u);
    EXPECT_TRUE(Checked(menu_names::mnuSlide(7)));
    EXPECT_TRUE(Checked(menu_names::mnuOP(menu_names::op::kLock)));
    // Locked: a left press leaves the frame where it is.
    rec.ClearOps();
    Drag(3000, 3000);
    EXPECT_EQ(rec.OpsStartingWith({"RunMoveLoop"}), std::vector<std::string>{});
    EXPECT_EQ(Rect(Form::Main).left, Twips(28800 + 1500));
}

// A plain start takes the first record no running frame holds and starts a frame for each other
// free one; a frame started for an identity that runs already ends at once.
TEST_F(Frames, AStartBringsBackEveryFrameOnce) {
    const std::u16string held = u"11111111111111111111111111111111";
    rec.frameRecords = {{kId, ""}, {held, ""}, {kOther, ""}, {u"..\\x", ""}};
    rec.heldElsewhere = {held};
    Start();
    EXPECT_EQ(rec.claimed, std::vector<std::u16string>{kId});
    EXPECT_EQ(rec.OpsStartingWith({"StartProgram"}),
              std::vector<std::string>{"StartProgram(C:\\Frame\\Vistrelle.exe,/frame:"
                                       "fedcba9876543210fedcba9876543210)"});
    SetUp();
    rec.arguments = {std::u16string(u"/frame:") + kId};
    rec.heldElsewhere = {kId};
    Start();
    EXPECT_TRUE(rec.processEnded);
    EXPECT_EQ(rec.OpsStartingWith({"ReadFrame", "WriteFrame"}), std::vector<std::string>{});
}

// Its monitor gone, the frame stands on the nearest one and keeps its place; when the monitor
// comes back the frame goes home, unless the user moved it meanwhile.
TEST_F(Frames, AFrameGoesHomeWhenItsMonitorComesBack) {
    for (const bool movedMeanwhile : {false, true}) {
        SCOPED_TRACE(movedMeanwhile ? "moved meanwhile" : "left alone");
        SetUp();
        rec.arguments = {std::u16string(u"/frame:") + kId};
        rec.frameRecords[kId] =
            "Monitor=\\\\.\\DISPLAY2\nMonitorArea=1920 0 1280 1024\nPlace=100 50\n";
        rec.monitors = {kFirst};
        Start();
        EXPECT_LE(Rect(Form::Main).left + Rect(Form::Main).width, 28800_tw) << "whole on the first";
        if (movedMeanwhile) Drag(-300, 0);
        const Twips left = Rect(Form::Main).left;
        rec.monitors = {kFirst, kSecond};
        Events().DisplayChanged();
        EXPECT_EQ(Rect(Form::Main).left, movedMeanwhile ? left : Twips(28800 + 1500));
        EXPECT_EQ(Stored(kId).place.monitor,
                  movedMeanwhile ? u"\\\\.\\DISPLAY1" : u"\\\\.\\DISPLAY2");
    }
}

}  // namespace

// The folder's pictures: their order, the steps through them with wrap and skips, shuffled
// rounds, the slideshow's settings, pauses and menu, and the shown file followed.
#include "display/folder_steps.hpp"

#include <set>

#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "app/program.hpp"
#include "app/slideshow.hpp"
#include "frame_fixture.hpp"
#include "platform/folders.hpp"
#include "tests/common/name_order_cases.hpp"

namespace {

using platform::Step;
using Names = std::vector<std::u16string>;

TEST(NameOrder, AsTheFileBrowserShowsThem) {
    for (const auto& c : name_order::kCases) {
        SCOPED_TRACE(platform::recording::Utf8(c.before));
        EXPECT_LT(platform::folders::CompareNames(c.before, c.after), 0);
        EXPECT_GT(platform::folders::CompareNames(c.after, c.before), 0);
        EXPECT_EQ(platform::folders::CompareNames(c.before, c.before), 0);
    }
}

TEST(FolderSteps, PicturesByTheirExtension) {
    const Names all = {u"a.JPG", u"b.jpeg", u"c.png", u"d.Gif",     u"e.bmp", u"f.tiff", u"g.ico",
                       u"h.txt", u"i",      u"jpg",   u"k.jpg.txt", u"l.",    u"m.webp"};
    EXPECT_EQ(folder_steps::PicturesOf(all), (Names{u"a.JPG", u"b.jpeg", u"c.png", u"d.Gif",
                                                    u"e.bmp", u"f.tiff", u"g.ico", u"m.webp"}));
}

TEST(FolderSteps, StepsWrapAndTryTheCurrentPictureOnlyForTheEnds) {
    const Names names = {u"a", u"b", u"c", u"d"};
    using V = std::vector<std::size_t>;
    const struct {
        const char16_t* current;
        Step step;
        V tries;
    } cases[] = {
        {u"b", Step::Next, {2, 3, 0}},
        {u"d", Step::Next, {0, 1, 2}},  // from the last to the first
        {u"b", Step::Previous, {0, 3, 2}},
        {u"a", Step::Previous, {3, 2, 1}},  // from the first to the last
        {u"c", Step::First, {0, 1, 2, 3}},
        {u"c", Step::Last, {3, 2, 1, 0}},
        {u"a", Step::First, {0, 1, 2, 3}},  // already first: it stays
        {u"B", Step::Next, {2, 3, 0}},      // spelt in another case: the same picture
        // A name not in the folder (deleted) stands where it would sort.
        {u"bb", Step::Next, {2, 3, 0, 1}},
        {u"bb", Step::Previous, {1, 0, 3, 2}},
        {u"z", Step::Next, {0, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::recording::Utf8(c.current) + " step " +
                     std::to_string(static_cast<int>(c.step)));
        EXPECT_EQ(folder_steps::StepTries(names, c.current, c.step), c.tries);
    }
    EXPECT_TRUE(folder_steps::StepTries({}, u"a", Step::Next).empty());
}

TEST(FolderSteps, ShuffleShowsEveryPictureOnceARound) {
    const Names names = {u"a", u"b", u"c", u"d", u"e"};
    std::mt19937 random(7);
    std::set<std::u16string> shown;
    std::u16string current = u"c";
    for (int round = 0; round < 3; ++round) {
        std::set<std::u16string> round_shown;
        for (int i = 0; i < 4; ++i) {
            const auto tries = folder_steps::ShuffledTries(names, current, shown, random);
            ASSERT_FALSE(tries.empty());
            current = names[tries.front()];
            shown.insert(current);
            round_shown.insert(current);
        }
        // Four steps from one picture show the four others, none twice.
        EXPECT_EQ(round_shown.size(), 4u) << "round " << round;
    }
}

class Folder : public FrameTest {
  protected:
    static constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

    void Start(const std::string& options = "") {
        WriteOptions(options);
        AddPicture(u"image.jpg", 300, 200, 0xFF808080);
        AddPicture(u"a1.png", 300, 200, kRed);
        AddPicture(u"A2.png", 200, 300, kGreen);
        AddPicture(u"a10.png", 300, 200, kBlue);
        rec.files[std::u16string(kFolder) + u"a5.jpg"] = "not a picture";  // does not load
        vistrelle::RunProgram();
    }
    std::uint32_t Shown() const {
        const auto* p = DrawnPicture();
        return p && !p->pixels.empty() ? p->pixels[p->pixels.size() / 2] : 0;
    }
    static void Do(Step s) { platform::CurrentEvents()->StepKey(s); }
};

TEST_F(Folder, StepsShowTheNextPictureAndSkipOnesThatDoNotLoad) {
    Start();
    EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\Frame\\image.jpg");
    Do(Step::Next);  // image.jpg is the last: the first comes next
    EXPECT_EQ(Shown(), kRed);
    Do(Step::Next);
    EXPECT_EQ(Shown(), kGreen);
    EXPECT_EQ(mainMod::shared.Portrait, mainMod::kTrue) << "sized as a drop sizes it";
    Do(Step::Next);  // over a5.jpg
    EXPECT_EQ(Shown(), kBlue);
    EXPECT_EQ(mainMod::shared.CaptionText, u"a10.png");
    Do(Step::Previous);
    EXPECT_EQ(Shown(), kGreen);
}

// A change before the first step, one while the folder was not heard (watched again after
// another, or its watch dropped): the next step sees it.
TEST_F(Folder, StepsSeeEveryFileThereWhateverCameBefore) {
    Start();
    AddPicture(u"0.png", 300, 200, kBlue);  // copied in before any step: comes first
    platform::CurrentEvents()->FolderChanged();
    Do(Step::Next);
    EXPECT_EQ(Shown(), kBlue);
    rec.watchedFolder.clear();  // the watch dropped
    AddPicture(u"z.png", 300, 200, kGreen);
    Do(Step::Last);
    EXPECT_EQ(Shown(), kGreen);
    AddPicture(u"C:\\Other\\b.png", 300, 200, kRed);
    mainMod::shared.PicturePath = u"C:\\Other\\b.png";
    frmMain::LoadAndSizePicture();
    rec.pictureFiles.erase(std::u16string(kFolder) + u"z.png");  // unheard
    mainMod::shared.PicturePath = std::u16string(kFolder) + u"0.png";
    frmMain::LoadAndSizePicture();
    Do(Step::Previous);
    EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\Frame\\image.jpg") << "z.png is gone";
}

TEST_F(Folder, APictureAtARootWatchesTheRootAndHomeStaysOnTheFirst) {
    Start();
    AddPicture(u"C:\\r1.png", 300, 200, kRed);
    AddPicture(u"C:\\r2.png", 300, 200, kGreen);
    mainMod::shared.PicturePath = u"C:\\R1.PNG";  // spelt in another case
    frmMain::LoadAndSizePicture();
    EXPECT_EQ(rec.watchedFolder, u"C:\\");
    rec.ClearOps();
    Do(Step::First);
    EXPECT_TRUE(rec.OpsStartingWith({"ReadRows("}).empty()) << "the first is shown";
    Do(Step::Next);
    EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\r2.png");
    Do(Step::Last);
    EXPECT_EQ(Shown(), kGreen);
}

TEST_F(Folder, AFolderOfUnreadableFilesKeepsThePicture) {
    Start();
    for (auto* name : {u"a1.png", u"A2.png", u"a10.png"})
        rec.pictureFiles.erase(std::u16string(kFolder) + name);
    rec.files[std::u16string(kFolder) + u"b.png"] = "no png";
    platform::CurrentEvents()->FolderChanged();
    Do(Step::Next);
    EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\Frame\\image.jpg");
    EXPECT_EQ(Shown(), 0xFF808080u);
    rec.unlistable.push_back(u"C:\\Frame");  // a folder that cannot be listed: the same
    platform::CurrentEvents()->FolderChanged();
    Do(Step::Previous);
    EXPECT_EQ(Shown(), 0xFF808080u);
}

TEST_F(Folder, TheShownFileRewrittenShowsItsNewContentAndOneDeletedKeepsIt) {
    Start();
    const std::u16string image = std::u16string(kFolder) + u"image.jpg";
    platform::CurrentEvents()->FolderChanged();  // a change elsewhere: nothing to show
    AddPicture(u"image.jpg", 300, 200, kBlue);
    platform::CurrentEvents()->FolderChanged();
    EXPECT_EQ(Shown(), 0xFF808080u) << "the same stamp: no new content";
    rec.stamps[image] = {2, 1};
    platform::CurrentEvents()->FolderChanged();
    EXPECT_EQ(Shown(), kBlue);
    rec.pictureFiles.erase(image);
    platform::CurrentEvents()->FolderChanged();
    EXPECT_EQ(Shown(), kBlue);
}

// At the large size, behind the user's windows: the new content is read once, at that size,
// and painted where the frame stands, none of its windows hidden or raised.
TEST_F(Folder, ARewriteAtTheLargeSizeIsReadOnceAndPaintedInPlace) {
    Start("[Main]\nShowFileName=-1\n");
    frmMain::mnuSize_Click(2);
    const auto raised = [&] {
        return std::vector<unsigned>{rec.Of(platform::Form::Main).raised,
                                     rec.Of(platform::Form::Txt).raised};
    };
    const auto before = raised();
    const std::u16string image = std::u16string(kFolder) + u"image.jpg";
    AddPicture(u"image.jpg", 300, 200, kBlue);
    rec.stamps[image] = {2, 1};
    rec.ClearOps();
    platform::CurrentEvents()->FolderChanged();
    EXPECT_EQ(Shown(), kBlue);
    EXPECT_EQ(rec.OpsStartingWith({"ReadRows("}), std::vector<std::string>{"ReadRows(295x198)"});
    EXPECT_TRUE(rec.OpsStartingWith({"Hide("}).empty());
    EXPECT_EQ(raised(), before);
    EXPECT_EQ(mainMod::shared.SizeMode, 2);
}

TEST_F(Folder, SlideshowStartsFromTheSettingsAndWaitsUnderThePointer) {
    const struct {
        const char* options;
        std::optional<std::uint32_t> timer;
        const char* marks;  // off, 5 s ... 1 h, separator, shuffle
    } cases[] = {
        {"", std::nullopt, "10000000"},
        {"[Slideshow]\nInterval=30\nShuffle=true\n", 30000, "00100001"},
        {"[slideshow]\ninterval=2\n", 2000, "00000000"},
        {"[Slideshow]\nInterval=-5\nShuffle=yes\n", std::nullopt, "10000000"},
        {"[Slideshow]\nInterval=soon\n", std::nullopt, "10000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        SetUp();
        Start(c.options);
        EXPECT_EQ(rec.timerMilliseconds, c.timer);
        EXPECT_EQ(Marks(menu_names::mnuSlide, 8), c.marks);
    }
}

TEST_F(Folder, SlideshowStepsUnlessPausedAndItsMenuSetsThePace) {
    Start("[Slideshow]\nInterval=5\n");
    platform::CurrentEvents()->Timer();
    EXPECT_EQ(Shown(), kRed);
    rec.pointerOver[static_cast<std::uint8_t>(platform::Form::Main)] = true;
    platform::CurrentEvents()->Timer();
    EXPECT_EQ(Shown(), kRed) << "the pointer rests on the frame";
    EXPECT_EQ(rec.timerMilliseconds, slideshow::kRetryMilliseconds) << "the step waits";
    rec.pointerOver.clear();
    platform::CurrentEvents()->Timer();
    EXPECT_EQ(Shown(), kGreen) << "made once the pointer left";
    EXPECT_EQ(rec.timerMilliseconds, 5000u) << "the pace counts from it";
    {
        const slideshow::Hold menuOpen;
        platform::CurrentEvents()->Timer();
        EXPECT_EQ(Shown(), kGreen) << "a menu is open";
    }
    platform::CurrentEvents()->Timer();
    EXPECT_EQ(Shown(), kBlue);

    platform::CurrentEvents()->MenuClick(menu_names::mnuSlide(5));
    EXPECT_EQ(rec.timerMilliseconds, 3600000u);
    EXPECT_EQ(Marks(menu_names::mnuSlide, 6), "000001");
    platform::CurrentEvents()->MenuClick(menu_names::mnuSlide(slideshow::kShuffleItem));
    EXPECT_TRUE(Checked(menu_names::mnuSlide(slideshow::kShuffleItem)));
    platform::CurrentEvents()->MenuClick(menu_names::mnuSlide(0));
    EXPECT_EQ(rec.timerMilliseconds, std::nullopt) << "off: no timer";
    platform::CurrentEvents()->Timer();  // one already due
    EXPECT_EQ(Shown(), kBlue);
}

}  // namespace

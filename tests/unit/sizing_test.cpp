// The default display size of a picture and the window sized around it.
#include "display/sizing.hpp"

#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "frame_fixture.hpp"
#include "platform/menus.hpp"
#include "platform/windows.hpp"

namespace {

using platform::Form;
using platform::PixelSize;
using platform::Twips;
using Twips32 = units::Whole<Twips>;
using Tpp = units::TwipsPerPixel;

struct SizeCase {
    double w, h, tppX, tppY;
    std::int32_t picWidth, picHeight;
    bool portrait;
};

const SizeCase kSizeCases[] = {
    {780, 520, 15, 15, 2925, 1950, false},   {600, 900, 15, 15, 1440, 2160, true},
    {1600, 1200, 15, 15, 2925, 2194, false},  // round(2193.75)
    {500, 500, 15, 15, 2925, 2925, false},    // a square picture is landscape
    {113, 65, 15, 15, 2925, 1683, false},     // the empty holder
    {1, 20000, 15, 15, 0, 2160, true},       {20000, 1, 15, 15, 2925, 0, false},
    {780, 520, 12, 10, 2340, 1300, false},  // widths with x, heights with y
    {600, 900, 12, 10, 1152, 1440, true},
};

TEST(DefaultDisplay, FiguresForKnownPictures) {
    for (const SizeCase& c : kSizeCases) {
        const auto d = sizing::ComputeDefaultDisplay(PixelSize{c.w, c.h}, Tpp(c.tppX), Tpp(c.tppY));
        const std::string what = std::to_string(c.w) + "x" + std::to_string(c.h);
        EXPECT_EQ(d.picWidth, Twips32(c.picWidth)) << what;
        EXPECT_EQ(d.picHeight, Twips32(c.picHeight)) << what;
        EXPECT_EQ(d.portrait, c.portrait ? mainMod::kTrue : mainMod::kFalse) << what;
    }
}

TEST(DefaultDisplay, WhatCannotBeComputedIsLeftEmpty) {
    // 0 x 0: a division by zero in the landscape figure.
    auto d = sizing::ComputeDefaultDisplay(PixelSize{0, 0}, Tpp(15), Tpp(15));
    EXPECT_EQ(d.picHeight, std::nullopt);
    EXPECT_EQ(d.picWidth, 2925_tw);
    // No size at all: taken as portrait, only the fixed side is known.
    d = sizing::ComputeDefaultDisplay(std::nullopt, Tpp(15), Tpp(15));
    EXPECT_EQ(d.portrait, mainMod::kTrue);
    EXPECT_EQ(d.picWidth, std::nullopt);
    EXPECT_EQ(d.picHeight, 2160_tw);
    // No twips per pixel.
    d = sizing::ComputeDefaultDisplay(PixelSize{780, 520}, std::nullopt, std::nullopt);
    EXPECT_EQ(d.picWidth, std::nullopt);
    EXPECT_EQ(d.picHeight, std::nullopt);
}

TEST(DefaultDisplay, MarginStaysWithinThe32BitRange) {
    EXPECT_EQ(sizing::AddMargin(1950_tw), Twips(1980.0f));
    EXPECT_EQ(sizing::AddMargin(Twips32(2147483647 - 30)), Twips(2147483647.0f));
    EXPECT_EQ(sizing::AddMargin(Twips32(2147483647 - 29)), std::nullopt);
}

class LoadAndSize : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        Create(Form::Main);
    }
    void Load(const std::u16string& path) {
        mainMod::shared.PicturePath = path;
        frmMain::LoadAndSizePicture();
    }
};

TEST_F(LoadAndSize, SizesTheWindow30TwipsLargerThanThePicture) {
    AddPicture(u"C:\\p\\wide.jpg", 780, 520);
    Load(u"C:\\p\\wide.jpg");
    EXPECT_EQ(Form(Form::Main).width, 2955_tw);
    EXPECT_EQ(Form(Form::Main).height, 1980_tw);
    EXPECT_EQ(mainMod::shared.Portrait, mainMod::kFalse);
    EXPECT_EQ(mainMod::shared.SizeMode, 1);
    EXPECT_EQ(Marks(menu_names::mnuSize, 3), "010");

    AddPicture(u"C:\\p\\tall.jpg", 600, 900);
    Load(u"C:\\p\\tall.jpg");
    EXPECT_EQ(Form(Form::Main).width, 1470_tw);
    EXPECT_EQ(Form(Form::Main).height, 2190_tw);
    EXPECT_EQ(mainMod::shared.Portrait, mainMod::kTrue);
}

TEST_F(LoadAndSize, APictureThatCannotBeLoadedKeepsThePreviousOneAndSizesAgain) {
    AddPicture(u"C:\\p\\tall.jpg", 600, 900);
    Load(u"C:\\p\\tall.jpg");
    mainMod::shared.SizeMode = 2;
    platform::menus::SetChecked(menu_names::mnuSize(2), true);
    Load(u"C:\\p\\missing.jpg");
    EXPECT_EQ(mainMod::shared.PicturePath, u"C:\\p\\missing.jpg");
    EXPECT_EQ(mainMod::shared.PicWidth, 1440_tw) << "sized from the picture still held";
    EXPECT_EQ(mainMod::shared.PicHeight, 2160_tw);
    EXPECT_EQ(mainMod::shared.SizeMode, 1);
    EXPECT_TRUE(Checked(menu_names::mnuSize(1)));
    EXPECT_FALSE(Checked(menu_names::mnuSize(2)));
}

TEST_F(LoadAndSize, AFailingStepLeavesItsTargetAndTheRestRuns) {
    AddPicture(u"C:\\p\\wide.jpg", 780, 520);
    Load(u"C:\\p\\wide.jpg");
    AddPicture(u"C:\\p\\tall.jpg", 600, 900);
    rec.FailOn("TwipsPerPixelX");
    rec.FailOn("SetHeight");
    Load(u"C:\\p\\tall.jpg");
    EXPECT_EQ(mainMod::shared.PicWidth, 2925_tw)
        << "the width needs the horizontal twips per pixel";
    EXPECT_EQ(mainMod::shared.PicHeight, 2160_tw);
    EXPECT_EQ(mainMod::shared.Portrait, mainMod::kTrue);
    EXPECT_EQ(Form(Form::Main).height, 1980_tw) << "the height could not be set";
    EXPECT_EQ(Form(Form::Main).width, 2955_tw);
    EXPECT_TRUE(Checked(menu_names::mnuSize(1)));
}

TEST_F(LoadAndSize, AnEmptyPictureKeepsThePreviousHeight) {
    AddPicture(u"C:\\p\\wide.jpg", 780, 520);
    Load(u"C:\\p\\wide.jpg");
    mainMod::shared.imgMain->natural = PixelSize{0, 0};
    rec.FailOn("OpenPicture");
    Load(u"C:\\p\\wide.jpg");
    EXPECT_EQ(mainMod::shared.PicHeight, 1950_tw);
    EXPECT_EQ(mainMod::shared.PicWidth, 2925_tw);
}

}  // namespace

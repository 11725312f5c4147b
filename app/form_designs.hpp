// The three windows as the program defines them, handed to the platform when each is created.
// Figures are twips and points at 96 dpi; the platform maps them to the screen.
#pragma once

#include "platform/types.hpp"

namespace form_designs {

using platform::FormDesign;
using namespace units::literals;

// The picture window: its client area's first place (the start-up sequence sizes it but
// never moves it), a neutral dark grey behind the picture, so that the strip around a picture
// reads as a frame and not as a hole, and the font caption widths are measured in.
inline constexpr FormDesign kMain{
    {3330_tw, 2925_tw, 2925_tw, 2160_tw},
    0x202020,
    platform::FontDesign{u"LucidaGrande", 9.75, 400, platform::CharacterSet::ShiftJis},
    std::nullopt,
};

// The shadow window stands over the picture window's first place until it is first placed.
inline constexpr FormDesign kShadow{kMain.client, platform::kButtonFaceColor, std::nullopt,
                                    std::nullopt};

// The caption strip holds Picture1, wider than the strip so that a caption never ends short,
// in the system's button face.
inline constexpr FormDesign kTxt{
    {3330_tw, 5200_tw, 4320_tw, 270_tw},
    platform::kButtonFaceColor,
    std::nullopt,
    platform::BoxDesign{4455_tw, 270_tw, platform::kButtonFaceColor},
};

constexpr const FormDesign& Of(platform::Form f) {
    switch (f) {
        case platform::Form::Shadow:
            return kShadow;
        case platform::Form::Txt:
            return kTxt;
        case platform::Form::Main:
            break;
    }
    return kMain;
}

}  // namespace form_designs

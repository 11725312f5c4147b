// The size presets: each choice sizes the picture afresh at the default preset and then
// scales the window by 1.5 down (small) or up (large).
#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "display/sizing.hpp"
#include "platform/drawing.hpp"
#include "platform/menus.hpp"

namespace frmMain {

using namespace mainMod;
using platform::Form;
using platform::Surface;
namespace menus = platform::menus;

namespace {

// A side of the default-sized window at the chosen preset, before rounding.
double AtPreset(double side, std::int16_t index) {
    constexpr double kFactor = 1.5;
    return index == 0 ? side / kFactor : index == 2 ? side * kFactor : side;
}

}  // namespace

void mnuSize_Click(std::int16_t Index) {
    platform::drawing::Cls(Surface::Main);
    platform::drawing::SetAutoRedraw(Surface::Main, true);
    LoadAndSizePicture();

    if (Index >= 0 && Index <= 2) {
        shared.SizeMode = Index;
        // The window's size already holds its margin; it is scaled with the picture.
        const auto height = forms::Height(Form::Main);
        if (height) {
            if (auto h = ToInt32(AtPreset(*height, Index))) shared.PicHeight = *h;
        }
        const auto width = forms::Width(Form::Main);
        if (width) {
            if (auto w = ToInt32(AtPreset(*width, Index))) shared.PicWidth = *w;
        }
        for (std::int16_t i = 0; i <= 2; ++i) menus::SetChecked(menu_names::mnuSize(i), i == Index);
    }

    forms::Hide(Form::Shadow);
    forms::Hide(Form::Main);
    forms::Hide(Form::Txt);
    if (auto h = sizing::AddMargin(shared.PicHeight)) forms::SetHeight(Form::Main, *h);
    if (auto w = sizing::AddMargin(shared.PicWidth)) forms::SetWidth(Form::Main, *w);
    LayoutCompanions();
    forms::Show(Form::Main);
}

}  // namespace frmMain

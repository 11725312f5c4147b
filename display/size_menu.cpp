// The size presets: each choice sizes the picture afresh at the default preset and then
// scales the window down (small) or up (large) by the preset factor.
#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "display/sizing.hpp"
#include "platform/drawing.hpp"
#include "shadow/companion_rules.hpp"

namespace frmMain {

using namespace mainMod;
using platform::Form;

void SizeAtPreset(std::int16_t Index) {
    if (Index < sizing::kSmall || Index > sizing::kLarge) return;
    shared.SizeMode = Index;
    // The window's size already holds its margin; it is scaled with the picture.
    if (const auto height = forms::Height(Form::Main))
        if (auto h = ToInt32(sizing::AtPreset(*height, Index))) shared.PicHeight = *h;
    if (const auto width = forms::Width(Form::Main))
        if (auto w = ToInt32(sizing::AtPreset(*width, Index))) shared.PicWidth = *w;
    menu_names::CheckOnly(menu_names::mnuSize(Index));
}

void mnuSize_Click(std::int16_t Index) {
    platform::drawing::Cls(platform::Surface::Main);
    platform::drawing::SetAutoRedraw(platform::Surface::Main, true);
    // The file is decoded once, for the size chosen.
    const bool known = Index >= sizing::kSmall && Index <= sizing::kLarge;
    LoadAndSizePicture(known ? std::optional<std::int16_t>(Index) : std::nullopt);
    SizeAtPreset(Index);

    companion_rules::HideAll();
    SizeWindowToPicture();
    LayoutCompanions();
    forms::Show(Form::Main);
}

void ShowHeldInPlace(std::int16_t preset) {
    SizeToHeldPicture();
    if (preset != sizing::kDefault) {
        SizeAtPreset(preset);
        SizeWindowToPicture();
    }
    LayoutCompanions();
}

}  // namespace frmMain

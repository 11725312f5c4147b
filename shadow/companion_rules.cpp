#include "shadow/companion_rules.hpp"

#include "app/forms.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "platform/menus.hpp"
#include "shadow/shadow_modes.hpp"

namespace companion_rules {

using platform::Form;

void PlaceCaption() {
    const auto left = forms::Left(Form::Main);
    const auto top = forms::Top(Form::Main);
    const auto height = forms::Height(Form::Main);
    const auto width = forms::Width(Form::Main);
    if (!left || !top || !height || !width) return;
    forms::Move(Form::Txt, static_cast<float>(*left),
                static_cast<float>(*top + *height + kCaptionGap), static_cast<float>(*width));
}

void PlaceShadow() {
    const auto left = forms::Left(Form::Main);
    const auto top = forms::Top(Form::Main);
    const auto width = forms::Width(Form::Main);
    const auto height = forms::Height(Form::Main);
    if (!left || !top || !width || !height) return;
    const mainMod::ShadowBoxRecord& box = mainMod::shared.ShadowBox;
    forms::Move(Form::Shadow, static_cast<float>(*left - box.DX), *top - box.DY, *width + box.DW,
                *height + box.DH);
}

void ApplyShadowVisibility() {
    const auto none = platform::menus::Checked(menu_names::mnuShadow(shadow_modes::kNoShadow));
    if (!none || *none)
        forms::Hide(Form::Shadow);
    else
        forms::Show(Form::Shadow);
}

}  // namespace companion_rules

#include "shadow/companion_rules.hpp"

#include <optional>

#include "app/forms.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "platform/menus.hpp"
#include "shadow/shadow_modes.hpp"

namespace companion_rules {

using platform::Form;
using platform::Twips;

std::optional<platform::TwipsRect> MainRect() {
    const auto left = forms::Left(Form::Main);
    const auto top = forms::Top(Form::Main);
    const auto width = forms::Width(Form::Main);
    const auto height = forms::Height(Form::Main);
    if (!left || !top || !width || !height) return std::nullopt;
    return platform::TwipsRect{*left, *top, *width, *height};
}

namespace {

// Single precision, as the companions' places have always been reckoned.
Twips Single(Twips t) {
    return Twips(static_cast<float>(t.Value()));
}

void PlaceCaption(const platform::TwipsRect& main) {
    forms::Move(Form::Txt, Single(main.left), Single(main.top + main.height + kCaptionGap),
                Single(main.width));
}

void PlaceShadow(const platform::TwipsRect& main) {
    const mainMod::ShadowBoxRecord& box = mainMod::shared.ShadowBox;
    forms::Move(Form::Shadow, Single(main.left - box.DX), main.top - box.DY, main.width + box.DW,
                main.height + box.DH);
}

}  // namespace

void PlaceCompanions() {
    if (const auto main = MainRect()) {
        PlaceCaption(*main);
        PlaceShadow(*main);
    }
}

void PlaceShadow() {
    if (const auto main = MainRect()) PlaceShadow(*main);
}

void ShowCompanions() {
    if (mainMod::shared.ShowFileName == mainMod::kTrue) forms::Show(Form::Txt);
    const auto none = platform::menus::Checked(menu_names::mnuShadow(shadow_modes::kNoShadow));
    if (!none || *none)
        forms::Hide(Form::Shadow);
    else
        forms::Show(Form::Shadow);
}

void HideAll() {
    forms::Hide(Form::Shadow);
    forms::Hide(Form::Main);
    forms::Hide(Form::Txt);
}

}  // namespace companion_rules

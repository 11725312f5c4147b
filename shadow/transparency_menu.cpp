// The transparency menu: the picture window becomes a layered window of opacity 100 %, 80 %
// or 50 %. The companions are hidden meanwhile and come back by their own rules, the picture
// window last, in front of them.
#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "platform/menus.hpp"
#include "shadow/companion_rules.hpp"

namespace frmMain {

using platform::Form;

namespace {

// 255, 80 % of it, and half of it rounded up.
constexpr std::uint8_t kOpacity[] = {255, 204, 128};

}  // namespace

void mnuTrs_Click(std::int16_t Index) {
    if (Index < 0 || Index > 2) return;
    forms::Hide(Form::Shadow);
    forms::Hide(Form::Main);
    forms::Hide(Form::Txt);
    const std::uint8_t alpha = kOpacity[Index];
    for (std::int16_t i = 0; i <= 2; ++i)
        platform::menus::SetChecked(menu_names::mnuTrs(i), i == Index);
    // Once layered, the window stays layered; 100 % is then opacity 255.
    forms::SetOpacity(Form::Main, alpha);
    if (mainMod::shared.ShowFileName == mainMod::kTrue) forms::Show(Form::Txt);
    companion_rules::ApplyShadowVisibility();
    forms::Show(Form::Main);
}

}  // namespace frmMain

// The shadow menu: three shadow widths and no shadow. A choice moves the check mark, sets
// the margins, shows or hides the shadow window and places it at once.
#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "shadow/companion_rules.hpp"
#include "shadow/shadow_modes.hpp"

namespace frmMain {

using platform::Form;

void mnuShadow_Click(std::int16_t Index) {
    if (Index < 0 || Index > shadow_modes::kNoShadow) return;
    menu_names::CheckOnly(menu_names::mnuShadow(Index));
    // "No shadow" keeps the last margins, so the hidden window goes on following the frame.
    if (auto margins = shadow_modes::Margins(Index)) {
        mainMod::shared.ShadowBox = *margins;
        forms::Show(Form::Shadow);
    } else {
        forms::Hide(Form::Shadow);
    }
    companion_rules::PlaceShadow();
}

}  // namespace frmMain

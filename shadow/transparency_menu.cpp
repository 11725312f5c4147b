// The transparency menu: the picture window becomes a layered window of opacity 100 %, 80 %
// or 50 %. The companions are hidden meanwhile and come back by their own rules, the picture
// window last, in front of them.
#include <iterator>

#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/menu_names.hpp"
#include "shadow/companion_rules.hpp"

namespace frmMain {

using platform::Form;

namespace {

// 255, 80 % of it, and half of it rounded up.
constexpr std::uint8_t kOpacity[] = {255, 204, 128};

}  // namespace

void mnuTrs_Click(std::int16_t Index) {
    if (Index < 0 || Index >= static_cast<std::int16_t>(std::size(kOpacity))) return;
    companion_rules::HideAll();
    menu_names::CheckOnly(menu_names::mnuTrs(Index));
    // Once layered, the window stays layered; 100 % is then opacity 255.
    forms::SetOpacity(Form::Main, kOpacity[Index]);
    companion_rules::ShowCompanions();
    forms::Show(Form::Main);
}

}  // namespace frmMain

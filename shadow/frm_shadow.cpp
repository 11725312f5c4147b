#include "shadow/frm_shadow.hpp"

#include "app/forms.hpp"

namespace frmShadow {

using platform::Form;

void Form_Load() {
    // Opacity 0 hides the window; the pointer is let through explicitly as well, since some
    // systems would otherwise give clicks to an invisible window.
    forms::SetOpacity(Form::Shadow, 0);
    forms::SetClickThrough(Form::Shadow);
}

}  // namespace frmShadow

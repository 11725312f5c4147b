#include "shadow/frm_shadow.hpp"

#include "app/forms.hpp"
#include "platform/windows.hpp"

namespace frmShadow {

using platform::Form;
namespace pw = platform::windows;

void Form_Load() {
    // Opacity 0 hides the window; the transparent style lets clicks through on every
    // system, including those that would otherwise give them to an invisible window.
    forms::AddExStyle(Form::Shadow, pw::kExLayered | pw::kExTransparent);
    forms::SetLayeredAlpha(Form::Shadow, 0);
}

}  // namespace frmShadow

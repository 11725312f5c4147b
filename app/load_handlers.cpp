#include "app/load_handlers.hpp"

#include "app/frm_main.hpp"
#include "shadow/frm_shadow.hpp"

namespace forms {

void RunLoadHandler(platform::Form f) {
    switch (f) {
        case platform::Form::Main:
            frmMain::Form_Load();
            break;
        case platform::Form::Shadow:
            frmShadow::Form_Load();
            break;
        case platform::Form::Txt:
            break;  // the caption window has no load handler
    }
}

}  // namespace forms

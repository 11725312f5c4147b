// Pressing a button on the picture window: the left button drags the window (its companions
// hide while it moves and follow when it is released) unless the frame is locked in place; any
// other button opens the menu, as the menu key does.
#include "app/forms.hpp"
#include "app/frames.hpp"
#include "app/frm_main.hpp"
#include "app/slideshow.hpp"
#include "caption/draw_caption.hpp"
#include "display/picture_holder.hpp"
#include "platform/events.hpp"
#include "platform/menus.hpp"
#include "platform/windows.hpp"
#include "shadow/companion_rules.hpp"

namespace frmMain {

using platform::Form;
namespace pw = platform::windows;

void Form_MouseDown(std::int16_t Button, std::int16_t /*Shift*/, float /*X*/, float /*Y*/) {
    // Once per press; the caption window repaints itself when it is shown again after a drag.
    mainMod::DrawCaption();
    if (Button & platform::kLeftButton) {
        // A locked frame stays where it is; the press does nothing else.
        if (frames::Locked()) return;
        // The system's move loop needs the pointer, so no window may hold the capture.
        pw::ReleaseCapture();
        forms::Hide(Form::Txt);
        forms::Hide(Form::Shadow);
        forms::Touch(Form::Main);
        {
            const slideshow::Hold still;
            pw::RunMoveLoop(Form::Main);  // returns when the button is released
        }
        frames::Moved();
        // On another monitor the display's colours may be others: painted again for them.
        if (picture_holder::DisplayColoursChanged()) {
            LayoutCompanions();
        } else {
            companion_rules::PlaceCompanions();
            companion_rules::ShowCompanions();
        }
    } else {
        const slideshow::Hold still;
        platform::menus::Popup(std::nullopt);
    }
}

void Form_MenuKey(platform::ScreenPoint at) {
    mainMod::DrawCaption();
    const slideshow::Hold still;
    platform::menus::Popup(at);
}

}  // namespace frmMain

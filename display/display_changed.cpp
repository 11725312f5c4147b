// The displays changed (a monitor unplugged, another resolution or arrangement): a frame left
// on no monitor comes back onto the nearest one's work area, its size kept, and its companions
// follow by their placement rule. Their visibility does not change.
#include <optional>
#include <vector>

#include "app/forms.hpp"
#include "app/frames.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "display/on_screen.hpp"
#include "platform/windows.hpp"
#include "shadow/companion_rules.hpp"

namespace frmMain {

using platform::Form;
using platform::TwipsRect;
using platform::windows::Monitor;

namespace {

// Where the picture window goes when it stands on no monitor: moved so that the frame (the
// picture window and the caption under it when shown) lies in the work area of the nearest
// monitor, or its top left part when it is larger. Empty when it stands at least partly on a
// monitor, or no monitor is known.
std::optional<TwipsRect> BackOnScreen(const TwipsRect& picture, const TwipsRect& frame,
                                      const std::vector<Monitor>& monitors) {
    for (const Monitor& m : monitors)
        if (on_screen::Overlap(picture, m.area)) return std::nullopt;
    const auto nearest = on_screen::Nearest(picture, monitors);
    if (!nearest) return std::nullopt;
    const TwipsRect& work = monitors[*nearest].workArea;
    return TwipsRect{picture.left + on_screen::ShiftX(frame, work),
                     picture.top + on_screen::ShiftY(frame, work), picture.width, picture.height};
}

}  // namespace

void Form_DisplayChanged() {
    // A remembered frame whose monitor came back goes home.
    if (frames::DisplayChanged()) return;
    const std::optional<TwipsRect> picture = companion_rules::MainRect();
    if (!picture) return;
    TwipsRect frame = *picture;
    if (mainMod::shared.ShowFileName == mainMod::kTrue)
        if (const auto caption = forms::Height(Form::Txt))
            frame.height += companion_rules::kCaptionGap + *caption;
    const auto place = BackOnScreen(*picture, frame, platform::windows::Monitors());
    if (!place) return;
    forms::Move(Form::Main, place->left, place->top, place->width, place->height);
    companion_rules::PlaceCompanions();
}

}  // namespace frmMain

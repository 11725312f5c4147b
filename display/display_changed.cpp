// The displays changed (a monitor unplugged, another resolution or arrangement): a frame left
// on no monitor comes back onto the nearest one's work area, its size kept, and its companions
// follow by their placement rule. Their visibility does not change.
#include <algorithm>
#include <optional>
#include <vector>

#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "platform/windows.hpp"
#include "shadow/companion_rules.hpp"

namespace frmMain {

using platform::Form;
using platform::TwipsRect;
using platform::windows::Monitor;

namespace {

bool Overlap(const TwipsRect& a, const TwipsRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The square of the gap between two rectangles; 0 when they touch or overlap.
double Gap2(const TwipsRect& a, const TwipsRect& b) {
    const double dx = std::max({0.0, b.left - (a.left + a.width), a.left - (b.left + b.width)});
    const double dy = std::max({0.0, b.top - (a.top + a.height), a.top - (b.top + b.height)});
    return dx * dx + dy * dy;
}

// How far a stretch [from, from + size) moves to lie within [into, into + room): to the start
// when it is longer.
double Shift(double from, double size, double into, double room) {
    if (size >= room || from < into) return into - from;
    return std::min(0.0, into + room - (from + size));
}

// Where the picture window goes when it stands on no monitor: moved so that the frame (the
// picture window and the caption under it when shown) lies in the work area of the nearest
// monitor, or its top left part when it is larger. Empty when it stands at least partly on a
// monitor, or no monitor is known.
std::optional<TwipsRect> BackOnScreen(const TwipsRect& picture, const TwipsRect& frame,
                                      const std::vector<Monitor>& monitors) {
    const Monitor* nearest = nullptr;
    for (const Monitor& m : monitors) {
        if (Overlap(picture, m.area)) return std::nullopt;
        if (!nearest || Gap2(picture, m.area) < Gap2(picture, nearest->area)) nearest = &m;
    }
    if (!nearest) return std::nullopt;
    const TwipsRect& work = nearest->workArea;
    return TwipsRect{picture.left + Shift(frame.left, frame.width, work.left, work.width),
                     picture.top + Shift(frame.top, frame.height, work.top, work.height),
                     picture.width, picture.height};
}

}  // namespace

void Form_DisplayChanged() {
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

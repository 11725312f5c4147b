#include "display/on_screen.hpp"

#include <algorithm>

namespace on_screen {

using platform::Twips;
using platform::TwipsRect;

namespace {

// The square of the gap between two rectangles; 0 when they touch or overlap.
double Gap2(const TwipsRect& a, const TwipsRect& b) {
    const double dx =
        std::max({Twips(), b.left - (a.left + a.width), a.left - (b.left + b.width)}).Value();
    const double dy =
        std::max({Twips(), b.top - (a.top + a.height), a.top - (b.top + b.height)}).Value();
    return dx * dx + dy * dy;
}

double OverlapArea(const TwipsRect& a, const TwipsRect& b) {
    const double w =
        (std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left)).Value();
    const double h =
        (std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top)).Value();
    return w > 0 && h > 0 ? w * h : 0;
}

// How far a stretch [from, from + size) moves to lie within [into, into + room): to the start
// when it is longer.
Twips Shift(Twips from, Twips size, Twips into, Twips room) {
    if (size >= room || from < into) return into - from;
    return std::min(Twips(), into + room - (from + size));
}

}  // namespace

bool Overlap(const TwipsRect& a, const TwipsRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

std::optional<std::size_t> Nearest(const TwipsRect& r,
                                   const std::vector<platform::windows::Monitor>& monitors) {
    std::optional<std::size_t> best;
    double bestOverlap = 0, bestGap = 0;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const double overlap = OverlapArea(r, monitors[i].area);
        const double gap = Gap2(r, monitors[i].area);
        if (!best || overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && gap < bestGap))
            best = i, bestOverlap = overlap, bestGap = gap;
    }
    return best;
}

Twips ShiftX(const TwipsRect& frame, const TwipsRect& work) {
    return Shift(frame.left, frame.width, work.left, work.width);
}
Twips ShiftY(const TwipsRect& frame, const TwipsRect& work) {
    return Shift(frame.top, frame.height, work.top, work.height);
}

}  // namespace on_screen

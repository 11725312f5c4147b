#include "app/frame_place.hpp"

#include <cmath>

#include "display/on_screen.hpp"

namespace frame_place {

using frame_record::PixelBox;
using frame_record::Place;
using platform::Twips;
using platform::TwipsRect;

namespace {

// Whole pixels, halves to even; inside the range a record holds.
std::int32_t Pixels(Twips twips, int dpi) {
    const double v = std::nearbyint(units::OnScreen(twips, dpi).Value());
    const double far = frame_record::kFarthest;
    return static_cast<std::int32_t>(v < -far ? -far : v > far ? far : v);
}
Twips TwipsAt(std::int32_t pixels, int dpi) {
    return units::TwipsOf(units::ScreenPixels(pixels), dpi);
}

PixelBox PixelsOf(const TwipsRect& r, int dpi) {
    return {Pixels(r.left, dpi), Pixels(r.top, dpi), Pixels(r.width, dpi), Pixels(r.height, dpi)};
}

bool Near(std::int32_t a, std::int32_t b) {
    return a - b <= 1 && b - a <= 1;
}

// Display names compared as Windows compares them: letter case aside.
bool SameDevice(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// The primary monitor stands at the origin; the first one when none does.
std::size_t Primary(const Monitors& monitors) {
    for (std::size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].area.left == Twips() && monitors[i].area.top == Twips()) return i;
    return 0;
}

// A frame moved within a work area, wholly (its top-left part when it is larger).
TwipsRect Within(TwipsRect frame, const TwipsRect& work) {
    frame.left += on_screen::ShiftX(frame, work);
    frame.top += on_screen::ShiftY(frame, work);
    return frame;
}

}  // namespace

std::optional<std::size_t> OwnMonitor(const Place& place, const Monitors& monitors, int dpi) {
    if (place.monitor)
        for (std::size_t i = 0; i < monitors.size(); ++i)
            if (SameDevice(monitors[i].device, *place.monitor)) return i;
    if (const auto& saved = place.monitorArea)
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const PixelBox now = PixelsOf(monitors[i].area, dpi);
            if (Near(now.left, saved->left) && Near(now.top, saved->top) &&
                Near(now.width, saved->width) && Near(now.height, saved->height))
                return i;
        }
    return std::nullopt;
}

std::optional<Landing> Land(const Place& place, Twips frameWidth, Twips frameHeight,
                            const Monitors& monitors, int dpi) {
    if (!place.offset || monitors.empty() || dpi <= 0) return std::nullopt;
    // The same distance in the frame's own units, whatever the dpi it was taken at.
    const int savedDpi = place.dpi.value_or(dpi);
    const Twips dx = TwipsAt(place.offset->x, savedDpi), dy = TwipsAt(place.offset->y, savedDpi);
    std::optional<std::size_t> own = OwnMonitor(place, monitors, dpi);
    if (!own && !place.monitor && !place.monitorArea) own = Primary(monitors);
    if (own) {
        const TwipsRect& work = monitors[*own].workArea;
        TwipsRect frame{work.left + dx, work.top + dy, frameWidth, frameHeight};
        if (!on_screen::Overlap(frame, work)) frame = Within(frame, work);
        return Landing{frame.left, frame.top, true};
    }
    // Where it stood: its monitor's corner (the work area's is not kept) and its distance.
    const PixelBox area = place.monitorArea.value_or(PixelBox{});
    const TwipsRect stood{TwipsAt(area.left, dpi) + dx, TwipsAt(area.top, dpi) + dy, frameWidth,
                          frameHeight};
    const auto nearest = on_screen::Nearest(stood, monitors);
    if (!nearest) return std::nullopt;
    const TwipsRect frame = Within(stood, monitors[*nearest].workArea);
    return Landing{frame.left, frame.top, false};
}

std::optional<Place> PlaceOf(const TwipsRect& picture, const Monitors& monitors, int dpi) {
    const auto i = on_screen::Nearest(picture, monitors);
    if (!i || dpi <= 0) return std::nullopt;
    const platform::windows::Monitor& m = monitors[*i];
    Place place;
    if (!m.device.empty()) place.monitor = m.device;
    place.monitorArea = PixelsOf(m.area, dpi);
    place.offset = frame_record::PixelPoint{Pixels(picture.left - m.workArea.left, dpi),
                                            Pixels(picture.top - m.workArea.top, dpi)};
    place.dpi = dpi;
    return place;
}

}  // namespace frame_place

// Where a remembered frame stands: on which monitor, and where on it. A place is kept in the
// screen's pixels from the top-left corner of its monitor's work area, with the dpi it was taken
// at; the program works in twips, which follow the dpi, so a place taken at another dpi comes
// back at the same distance in the frame's own units, scaled with the frame itself.
#pragma once

#include <optional>
#include <vector>

#include "app/frame_record.hpp"
#include "platform/types.hpp"
#include "platform/windows.hpp"

namespace frame_place {

using Monitors = std::vector<platform::windows::Monitor>;

// The monitor a place was taken on, as it is now: the one of the same name, or else the one of
// the same rectangle; empty when it is gone.
std::optional<std::size_t> OwnMonitor(const frame_record::Place& place, const Monitors& monitors,
                                      int dpi);

// Where the picture window's top-left corner goes for a frame of the given size (the picture
// window, and the caption under it when shown), and whether that is on its own monitor.
struct Landing {
    platform::Twips left, top;
    bool home = false;
};
// On its own monitor, at its place, unless that lies wholly outside the monitor's work area
// (then it is brought within it). Its monitor gone, on the monitor nearest to where it stood,
// whole within that monitor's work area. A place without a monitor belongs to the first one.
// Empty when the place has no position or no monitor is known.
std::optional<Landing> Land(const frame_record::Place& place, platform::Twips frameWidth,
                            platform::Twips frameHeight, const Monitors& monitors, int dpi);

// The place of a picture window standing at `picture`: the monitor it overlaps most (or the
// nearest) and the distance from that monitor's work area. Empty when no monitor is known.
std::optional<frame_record::Place> PlaceOf(const platform::TwipsRect& picture,
                                           const Monitors& monitors, int dpi);

}  // namespace frame_place

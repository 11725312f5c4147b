// Where the companion windows stand and when they show: the rules every layout, drag and menu
// choice applies.
#pragma once

#include <optional>

#include "platform/types.hpp"

namespace companion_rules {

// The picture window's outer rectangle; empty when any side cannot be read.
std::optional<platform::TwipsRect> MainRect();

// The caption window at the picture window's left, kCaptionGap under its bottom edge, as wide as
// it (its height stays); the shadow window around it, as the shadow placement below.
void PlaceCompanions();
// The shadow window: the picture window's rectangle grown by the shadow margins, in one move,
// whether it is shown or not.
void PlaceShadow();
// The caption window shown when file names are shown (otherwise left as it is), then the
// shadow window hidden when "no shadow" is checked (or the mark cannot be read) and shown
// otherwise.
void ShowCompanions();
// The shadow window, the picture window and the caption window hidden, in that order.
void HideAll();

// Twips between the picture window's bottom edge and the caption window's top.
inline constexpr platform::Twips kCaptionGap{80};

}  // namespace companion_rules

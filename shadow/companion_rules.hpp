// Where the companion windows stand and when the shadow window shows: the rules every
// layout, drag and menu choice applies.
#pragma once

namespace companion_rules {

// The caption window: at the picture window's left, 80 twips under its bottom edge, as wide
// as it; its height stays.
void PlaceCaption();
// The shadow window: the picture window's rectangle grown by the shadow margins, in one move,
// whether it is shown or not.
void PlaceShadow();
// Hides the shadow window when "no shadow" is checked (or the mark cannot be read), shows it
// otherwise.
void ApplyShadowVisibility();

inline constexpr double kCaptionGap = 80;

}  // namespace companion_rules

// The caption box makes the file name seem written on the desktop: the desktop background is
// drawn under it, and the name over that in two colours, the shade offset from the text so that
// the name stays legible on a light wallpaper and on a dark one alike. Text drawn again over
// itself with a transparent background thickens its smoothed edges; each pass does so.
#pragma once

namespace mainMod {

// Redraws the whole caption box, which keeps no image of its own.
void DrawCaption();
// The shade pass; it also sets the font and the rectangle that the text pass keeps.
void DrawCaptionShade();
// The text pass, over the shade.
void DrawCaptionText();

}  // namespace mainMod

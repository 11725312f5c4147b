// Drawing the caption box: the desktop background under it, then the file name in two
// passes, a shade one pixel right and down in Color2 and the text in Color1 over it.
#pragma once

namespace mainMod {

// Redraws the whole caption box: backdrop, shade, text.
void DrawCaption();
// The shade pass: sets the font, the rectangle and Color2, and draws the text three times.
void DrawCaptionShade();
// The text pass: Color1, one pixel up and left of the shade, drawn twice.
void DrawCaptionText();

}  // namespace mainMod

// Drawing on the two surfaces, in pixels of the surface.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/pictures.hpp"
#include "platform/types.hpp"

namespace platform::drawing {

// With a persistent image on, drawing goes into an image that survives repaints; switching it
// off keeps what was drawn as the surface's background.
bool SetAutoRedraw(Surface s, bool on);
// Clears the surface to its background colour.
bool Cls(Surface s);
// Repaints the surface on screen now.
bool Refresh(Surface s);

// Fills the surface with the desktop background as the desktop shows it at the surface's
// place on the screen.
bool PaintDesktop(Surface s);

bool SetFontName(Surface s, std::u16string_view face);
bool SetFontSize(Surface s, double points);
// Colour with red in the lowest byte, then green, then blue.
bool SetForeColor(Surface s, std::int32_t color);

// Single-line text with a transparent background, clipped to the rectangle, no prefix
// processing: an ampersand is drawn as an ampersand.
bool DrawTextLine(Surface s, std::u16string_view text, const PixelRect& rect);

// Copies a bitmap (already at its display size) to (x, y) of the surface.
bool DrawBitmap(Surface s, std::int32_t x, std::int32_t y, const pictures::Bitmap& bitmap);

}  // namespace platform::drawing

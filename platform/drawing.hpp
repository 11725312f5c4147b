// Drawing on the two surfaces, in pixels of the surface.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pictures.hpp"
#include "platform/types.hpp"

namespace platform::drawing {

// What the program has set on a surface through the calls below; each backend keeps one per
// surface, and a window created again starts with a fresh one.
struct SurfaceSettings {
    bool autoRedraw = false;
    std::u16string fontName;
    double fontSize = 0;  // points
    std::int32_t foreColor = 0;
};

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

// Twips per pixel of the screen the surface stands on: 15 at 96 dpi, 7.5 at 192 dpi. The
// surface's own coordinates are pixels at 96 dpi; a picture is scaled to the screen's pixels,
// so that it is never enlarged from a coarser copy.
std::optional<units::TwipsPerScreenPixel> DeviceTwipsPerPixelX(Surface s);
std::optional<units::TwipsPerScreenPixel> DeviceTwipsPerPixelY(Surface s);

// Copies a bitmap, already at its display size in the screen's pixels, to (x, y) of the
// surface.
bool DrawBitmap(Surface s, Whole<DesignPixels> x, Whole<DesignPixels> y,
                const pictures::Bitmap& bitmap);

// The bytes of the colour profile the system reports for the monitor the surface stands on;
// empty when it reports none or its file cannot be read: that display shows sRGB (as every
// display does under Wine).
std::vector<std::uint8_t> DisplayColourProfile(Surface s);

}  // namespace platform::drawing

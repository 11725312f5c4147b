// Top-level windows: creation, geometry in twips, visibility, opacity and the move loop.
// Every call names the window it acts on; a call that the system refuses returns false or
// an empty optional and changes nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.hpp"

namespace platform::windows {

// Creates the window, hidden, as its design says: its client area at the design's place, with
// the design's background, measuring font and picture box. The caller runs the window's load
// handler afterwards.
bool Create(Form f, const FormDesign& design);
// Destroys the window (unload). Idempotent.
bool Destroy(Form f);
bool Exists(Form f);

// Shows the window modeless and without owner, on top of the others. Only the picture window
// takes the focus; the companions are shown without activating them.
bool Show(Form f);
bool Hide(Form f);

// Outer rectangle in screen twips.
std::optional<Twips> Left(Form f);
std::optional<Twips> Top(Form f);
std::optional<Twips> Width(Form f);
std::optional<Twips> Height(Form f);
// One placement; without a height the current one stays.
bool Move(Form f, Twips left, Twips top, Twips width, std::optional<Twips> height);
// Size changes keep the top-left corner.
bool SetWidth(Form f, Twips width);
bool SetHeight(Form f, Twips height);

// Inner (client) size, the picture window's scale unit.
std::optional<DesignPixels> ScaleWidth(Form f);
std::optional<DesignPixels> ScaleHeight(Form f);
// Width of a text in the window's own font.
std::optional<DesignPixels> TextWidth(Form f, std::u16string_view text);

// Gives the whole window an opacity, 0 (fully transparent) to 255 (opaque). The first call
// makes the window layered, and it stays layered: opacity 255 afterwards is opaque, not an
// ordinary window again.
bool SetOpacity(Form f, std::uint8_t alpha);
// Lets the pointer pass through the window to whatever lies beneath it.
bool SetClickThrough(Form f);

// Releases the mouse capture held by any window of this thread.
bool ReleaseCapture();
// Runs the system's interactive move of the window as if its caption had been pressed;
// returns when the button is released.
bool RunMoveLoop(Form f);

// Whether the pointer stands over the window itself now, not over another window covering it.
bool PointerOver(Form f);

// The dots per inch of the monitor the picture window stands on (the system's before it
// exists): screen pixels are twips x dpi / 1440.
int FrameDpi();

// The screen's twips per pixel, in the program's pixels.
std::optional<units::TwipsPerPixel> TwipsPerPixelX();
std::optional<units::TwipsPerPixel> TwipsPerPixelY();

// A monitor: its whole rectangle and its work area (without the task bar and other docked
// bars), in screen twips, and the name the system gives its display ("\\.\DISPLAY2").
struct Monitor {
    TwipsRect area, workArea;
    std::u16string device;
};
// The monitors as they are now; empty when the system cannot say.
std::vector<Monitor> Monitors();

}  // namespace platform::windows

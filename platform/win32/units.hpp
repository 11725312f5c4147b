// The one place where the backend maps the program's units to the screen's pixels. The program
// works at 96 dpi: twips at 15 per pixel, pixels of 1/96 inch. On the screen a length of T
// twips covers T x dpi / 1440 pixels, rounded half to even, where dpi is that of the monitor
// the picture window stands on; the companions follow the picture window's dpi.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/types.hpp"

namespace platform::win32 {

// The resolution the program's figures are made for.
using units::kDesignDpi;
using units::kTwipsPerInch;
// Twips per pixel of the program's own pixels (1/96 inch).
inline constexpr units::TwipsPerPixel kDesignTwipsPerPixel{kTwipsPerInch / kDesignDpi};

// The system's dpi (the primary monitor's), for windows not yet created.
int SystemDpi();
// The dpi of the monitor a window stands on, as the system reports it for the window.
int WindowDpi(HWND window);
// A dpi from outside (the system, a message) made usable: 96 when it is not a positive
// number, and never beyond the range of screens that exist.
int SaneDpi(long dpi);

// The frame's dpi: the picture window's own, or the system's before it exists.
int FrameDpi();

// Twips to whole screen pixels at the frame's dpi (or the one given); empty for a value that
// is not finite or lies beyond any screen.
std::optional<int> ToPixels(Twips twips);
std::optional<int> ToPixels(Twips twips, int dpi);
// Screen pixels to twips at the frame's dpi.
Twips ToTwips(long pixels);

// The program's pixels to screen pixels and back, at the frame's dpi.
std::optional<int> ToDevice(DesignPixels design);
DesignPixels ToDesign(long devicePixels);

// Screen rectangle in pixels of a client area, grown to the outer rectangle of a window of that
// style, at the given dpi.
std::optional<RECT> OuterFromClient(const TwipsRect& client, DWORD style, DWORD exStyle, int dpi);

}  // namespace platform::win32

// The picture window: its load handler, event handlers, menu handlers and private routines.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/events.hpp"

namespace frmMain {

// Start-up: reads the settings, loads the picture and lays out the windows.
void Form_Load();

// Loads PicturePath into the hidden holder and sizes the window at the default preset. The
// size menu names the size it chooses next, so that the file is decoded once, for that size.
void LoadAndSizePicture(std::optional<std::int16_t> chosen = std::nullopt);
// Sizes the window a margin larger than PicWidth x PicHeight (sizing::AddMargin), height first.
void SizeWindowToPicture();
// Sizes the window at the default preset to the picture the holder has now.
void SizeToHeldPicture();
// Builds the caption, paints the picture and places and shows the companion windows.
void LayoutCompanions();
// Takes the size menu's `Index` over the default sizing just made: SizeMode, the display size
// scaled from the window's and the check marks (the window is not resized yet).
void SizeAtPreset(std::int16_t Index);
// Shows the picture the holder has now at the size `preset`, where the frame stands: nothing is
// hidden, raised or activated. For the changes the frame follows by itself (the shown file
// rewritten), never for a user's choice.
void ShowHeldInPlace(std::int16_t preset);

void Form_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
// The menu key: the popup menu opens at the point the platform gives, as a right press opens it
// at the pointer.
void Form_MenuKey(platform::ScreenPoint at);
void Form_DblClick();
void Form_OLEDragOver(platform::DropData& Data, platform::DropEffect& Effect);
void Form_OLEDragDrop(platform::DropData& Data);
// The window moved to a monitor of another scale: the picture is read again and the frame
// painted and laid out at the new size in pixels; preset, opacity, shadow and caption stay.
void Form_DpiChanged();
// The displays changed: a frame left on no monitor comes back onto the nearest one.
void Form_DisplayChanged();
// A wheel notch or a stepping key: the next, previous, first or last picture of the folder.
void Form_StepKey(platform::Step step);
// The slideshow's pace came due.
void Form_Timer();
// The shown picture's folder changed: the file shown may have new content.
void Form_FolderChanged();

void mnuOP_Click(std::int16_t Index);
void mnuSize_Click(std::int16_t Index);
void mnuTrs_Click(std::int16_t Index);
void mnuShadow_Click(std::int16_t Index);
void mnuSlide_Click(std::int16_t Index);

// Unloads the three windows and ends the process.
void ExitProgram();

}  // namespace frmMain

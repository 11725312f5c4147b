// The picture holder imgMain. It keeps what the frame needs to paint its picture without the
// file: the picture's natural size as displayed, the file it came from, and one copy of it,
// turned upright, at the pixels it was last painted at. Each size is painted from the file
// when it is there, decoded once at the scale that size needs, so that no size is averaged
// from a copy made for another; the copy serves repaints at the same size and every size
// while the file is gone. For a photo that is at most 0.25 MB at 96 dpi and 1 MB at 192 dpi.
// A new picture replaces what it keeps only once it has been decoded whole: a file that is
// gone, refused or damaged leaves the holder, and so the painting, as it was. The file is let
// go as soon as its decoding ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "imaging/decoding/picture_rows.hpp"
#include "platform/types.hpp"

namespace picture_holder {

// Loads the picture file at `path` into the holder, decoded for the size it is to be painted
// at: with no `chosen` size, the default size a new picture comes at; else the size menu's
// choice. False, the holder unchanged, when the file cannot be opened or decoded whole.
bool LoadPicture(std::u16string_view path, std::optional<std::int16_t> chosen = std::nullopt);

// The natural size of the picture held, as displayed; the design size while none is.
platform::PixelSize ScaleSize();

// The picture held at width x height pixels: the copy when it has that size, else decoded
// from the holder's file at that size (and kept), else the copy scaled (averaging down,
// linear up). Empty while no picture is held or when the size is beyond the scaler's limits.
std::optional<platform::pictures::Bitmap> PaintedAt(std::int32_t width, std::int32_t height);

// Converts a bitmap of the picture held to the colours of the display the frame stands on,
// when the picture embeds a colour profile other than sRGB; else leaves it as it is.
void InDisplayColours(platform::pictures::Bitmap& bitmap);

// Whether the display the frame stands on has another colour profile than the one the
// picture was last painted for: after a move to another monitor, the picture is to be painted
// again. False when the picture needs no conversion.
bool DisplayColoursChanged();

}  // namespace picture_holder

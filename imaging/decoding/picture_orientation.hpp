// The orientation a camera recorded for a picture (tag 274 of the TIFF structure): how the
// stored pixels must be turned to show the scene upright. Read from the file's bytes by the
// program itself, because not every platform decoder exposes a JPEG's Exif block.
#pragma once

#include <cstdint>
#include <span>

namespace platform::pictures {

// 1 upright; 2 mirrored left to right; 3 turned 180 degrees; 4 mirrored top to bottom;
// 5 mirrored along the top-left to bottom-right diagonal (transpose); 6 to be turned 90
// degrees clockwise; 7 mirrored along the other diagonal (transverse); 8 to be turned 90
// degrees anticlockwise.
using Orientation = std::uint8_t;
inline constexpr Orientation kUpright = 1;

// True for 5 to 8, whose turn makes the stored width the displayed height.
inline constexpr bool TurnsAQuarter(Orientation o) {
    return o >= 5 && o <= 8;
}

// The orientation of a JPEG (IFD0 of its first APP1 segment that starts "Exif\0\0") or of a
// TIFF (its first IFD), from the file's first bytes. kUpright for every other file, for a
// missing tag, a value outside 1..8 or a tag that is not one SHORT, and for a block that
// cannot be read (offsets beyond its end, cut short): the first Exif segment decides even
// then, a later one is not looked at.
Orientation ReadOrientation(std::span<const std::uint8_t> bytes);

// The orientation an Exif block records: `structure` is the TIFF structure that follows the
// block's "Exif\0\0". kUpright as above when it records none or cannot be read.
Orientation ReadExifOrientation(std::span<const std::uint8_t> structure);

}  // namespace platform::pictures

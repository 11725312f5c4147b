// A remembered frame's record: what it shows, where it stands and how it is set. It is kept as
// UTF-8 text, one "Key=value" line per field after a first line that names the format:
//
//   Vistrelle frame 1
//   Picture=C:\Users\me\Pictures\cat.jpg
//   Monitor=\\.\DISPLAY2
//   MonitorArea=1920 0 1280 1024      the monitor's rectangle in pixels: left top width height
//   Place=120 80                      the picture window's top-left corner, in pixels from the
//                                     top-left corner of that monitor's work area
//   Dpi=96                            the dots per inch the place was taken at
//   Size=1  Opacity=0  Shadow=1       the size preset, the opacity and shadow items, 0 first
//   Caption=True  Pace=30  Shuffle=False  Lock=False
//
// Reading takes each field on its own: a field that is missing, repeated (the first counts),
// out of range or not what it should be is left out, and the frame takes its start-up value for
// it. Nothing in a record can make the reader fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace frame_record {

// The most of a record that is read; a longer file is read as far as this.
inline constexpr std::size_t kMostBytes = std::size_t{256} * 1024;
// The longest path Windows accepts, in UTF-16 characters.
inline constexpr std::size_t kLongestPath = 32767;
// A display's name is at most 31 characters (CCHDEVICENAME with its terminator).
inline constexpr std::size_t kLongestDevice = 31;
// Coordinates beyond a million pixels belong to no screen.
inline constexpr std::int32_t kFarthest = 1'000'000;

// A rectangle and a point in the screen's pixels.
struct PixelBox {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    friend constexpr bool operator==(const PixelBox&, const PixelBox&) = default;
};
struct PixelPoint {
    std::int32_t x = 0, y = 0;
    friend constexpr bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The monitor a frame stands on and its place there.
struct Place {
    std::optional<std::u16string> monitor;  // the display's name
    std::optional<PixelBox> monitorArea;    // to know it again when the name changed
    std::optional<PixelPoint> offset;       // from the work area's top-left corner
    std::optional<std::int32_t> dpi;
    friend bool operator==(const Place&, const Place&) = default;
};

struct Record {
    std::optional<std::u16string> picture;  // full path
    Place place;
    std::optional<std::int16_t> size;     // 0 small, 1 default, 2 large
    std::optional<std::int16_t> opacity;  // 0 100 %, 1 80 %, 2 50 %
    std::optional<std::int16_t> shadow;   // 0 to 2 the widths, 3 none
    std::optional<bool> caption;
    std::optional<std::uint32_t> pace;  // seconds, 0 off
    std::optional<bool> shuffle;
    std::optional<bool> lock;
    friend bool operator==(const Record&, const Record&) = default;
};

// The text of a record; fields left out are not written.
std::string Write(const Record& record);
// The sound fields of a record's text; anything else is left out.
Record Read(std::string_view text);

}  // namespace frame_record

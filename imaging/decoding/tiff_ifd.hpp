// The TIFF structure's first directory (IFD), as a TIFF file and a JPEG's Exif block both
// hold it: a byte-order mark, 42, the offset of the first IFD, and there a count of 12-byte
// entries (tag, type, count, value or offset). Only the first IFD is ever read, so a chain of
// IFDs that points back at itself is never followed.
#pragma once

#include <cstdint>

#include "imaging/decoding/byte_reader.hpp"

namespace platform::tiff {

enum class Lookup : std::uint8_t {
    Found,
    Missing,    // the whole first IFD was read and holds no such entry
    CutShort,   // the bytes end before the header or the IFD's last entry: more may tell
    Malformed,  // not a TIFF structure, or an entry of the wrong kind
};

// The TIFF header at the reader's start: byte order and the first IFD's offset (at least 8,
// past the header itself). Malformed when the bytes do not start "II*\0" or "MM\0*".
struct Structure {
    bool bigEndian = false;
    std::uint32_t firstIfd = 0;
};
Lookup ReadStructure(const bytes::Reader& r, Structure& out);

inline constexpr std::uint16_t kShort = 3;
inline constexpr std::uint16_t kLong = 4;

struct Number {
    std::uint16_t type = 0;  // kShort or kLong
    std::uint32_t value = 0;
};

// The value of the first entry with `tag` in the first IFD, whose type is SHORT or LONG and
// whose count is 1; another type or count is Malformed. Offsets are from the start of the
// structure (the reader's start). The whole IFD must be there, at most 65535 entries (the
// count is 16 bits).
Lookup FindNumber(const bytes::Reader& r, const Structure& s, std::uint16_t tag, Number& out);

}  // namespace platform::tiff

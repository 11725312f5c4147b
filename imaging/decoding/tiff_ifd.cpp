#include "imaging/decoding/tiff_ifd.hpp"

#include <cstddef>

namespace platform::tiff {

namespace {

constexpr std::size_t kEntryBytes = 12;

}  // namespace

Lookup ReadStructure(const bytes::Reader& r, Structure& out) {
    static constexpr std::uint8_t kLittle[] = {'I', 'I', 0x2A, 0x00};
    static constexpr std::uint8_t kBig[] = {'M', 'M', 0x00, 0x2A};
    if (!r.Has(0, 4)) return Lookup::CutShort;
    if (r.Matches(0, kLittle)) {
        out.bigEndian = false;
    } else if (r.Matches(0, kBig)) {
        out.bigEndian = true;
    } else {
        return Lookup::Malformed;
    }
    if (!r.U32(4, out.bigEndian, out.firstIfd)) return Lookup::CutShort;
    // An IFD inside the 8-byte header would read the header as entries.
    if (out.firstIfd < 8) return Lookup::Malformed;
    return Lookup::Found;
}

Lookup FindNumber(const bytes::Reader& r, const Structure& s, std::uint16_t tag, Number& out) {
    const std::size_t ifd = s.firstIfd;
    std::uint16_t count = 0;
    if (!r.U16(ifd, s.bigEndian, count)) return Lookup::CutShort;
    // The whole IFD or nothing: a count that runs past the end is no directory to trust.
    if (!r.Has(ifd + 2, std::size_t{count} * kEntryBytes)) return Lookup::CutShort;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + i * kEntryBytes;
        std::uint16_t entryTag = 0, type = 0;
        std::uint32_t entryCount = 0;
        (void)r.U16(entry, s.bigEndian, entryTag);
        if (entryTag != tag) continue;
        (void)r.U16(entry + 2, s.bigEndian, type);
        (void)r.U32(entry + 4, s.bigEndian, entryCount);
        if (entryCount != 1) return Lookup::Malformed;
        // One value fits the entry's 4-byte field, left-justified in the file's byte order.
        out.type = type;
        if (type == kShort) {
            std::uint16_t v = 0;
            (void)r.U16(entry + 8, s.bigEndian, v);
            out.value = v;
            return Lookup::Found;
        }
        if (type == kLong) {
            (void)r.U32(entry + 8, s.bigEndian, out.value);
            return Lookup::Found;
        }
        return Lookup::Malformed;
    }
    return Lookup::Missing;
}

}  // namespace platform::tiff

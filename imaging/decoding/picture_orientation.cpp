#include "imaging/decoding/picture_orientation.hpp"

#include <cstddef>

#include "imaging/decoding/byte_reader.hpp"
#include "imaging/decoding/jpeg_segments.hpp"
#include "imaging/decoding/tiff_ifd.hpp"

namespace platform::pictures {

namespace {

using bytes::Reader;

constexpr std::uint16_t kOrientationTag = 274;

// The orientation in a TIFF structure that starts at the reader's start.
Orientation FromTiff(const Reader& r) {
    tiff::Structure s;
    if (tiff::ReadStructure(r, s) != tiff::Lookup::Found) return kUpright;
    tiff::Number n;
    if (tiff::FindNumber(r, s, kOrientationTag, n) != tiff::Lookup::Found || n.type != tiff::kShort)
        return kUpright;
    return n.value >= 1 && n.value <= 8 ? static_cast<Orientation>(n.value) : kUpright;
}

Orientation FromJpeg(const Reader& r) {
    static constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0x00, 0x00};
    constexpr std::uint8_t kApp1 = 0xE1;
    jpeg::SegmentWalk walk(r);
    jpeg::Segment segment;
    // Each step moves forward through the file; the walk ends at the first scan.
    while (walk.Next(segment) == jpeg::Step::Segment) {
        if (segment.marker != kApp1) continue;
        const std::size_t dataLength = segment.length - 2u;
        if (dataLength < sizeof kExif || !r.Matches(segment.data, kExif)) continue;
        // The TIFF structure's offsets count from its own start, and it ends with the
        // segment, or with the file when the segment claims more than the file holds.
        return FromTiff(r.Part(segment.data + sizeof kExif, dataLength - sizeof kExif));
    }
    return kUpright;
}

}  // namespace

Orientation ReadExifOrientation(std::span<const std::uint8_t> structure) {
    return FromTiff(Reader(structure));
}

Orientation ReadOrientation(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kJpeg[] = {0xFF, 0xD8};
    static constexpr std::uint8_t kTiffLittle[] = {'I', 'I', 0x2A, 0x00};
    static constexpr std::uint8_t kTiffBig[] = {'M', 'M', 0x00, 0x2A};
    const Reader r(bytes);
    if (r.Matches(0, kJpeg)) return FromJpeg(r);
    if (r.Matches(0, kTiffLittle) || r.Matches(0, kTiffBig)) return FromTiff(r);
    return kUpright;
}

}  // namespace platform::pictures

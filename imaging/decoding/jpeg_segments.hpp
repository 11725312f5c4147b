// Walking a JPEG file's marker segments from its start to the first scan, the way libjpeg
// finds markers: bytes other than 0xFF before a marker are skipped, fill bytes (repeated
// 0xFF) are skipped, FF 00 is no marker, and standalone markers (TEM, RST0-RST7, SOI) carry
// no length. Each step moves forward, so a walk ends within the file's length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/decoding/byte_reader.hpp"

namespace platform::jpeg {

struct Segment {
    std::uint8_t marker = 0;
    std::size_t data = 0;      // offset of the first byte after the length field
    std::uint16_t length = 0;  // the length field: the data and the field's own 2 bytes
};

enum class Step : std::uint8_t {
    Segment,    // `out` holds the next segment
    Scan,       // a start of scan (SOS) or end of image (EOI): no more headers follow
    CutShort,   // the bytes end before the next marker or its length
    Malformed,  // a length field below 2
};

class SegmentWalk {
  public:
    // Walks `r`, which starts with the SOI marker (not checked).
    explicit SegmentWalk(const bytes::Reader& r) : r_(r) {}
    Step Next(Segment& out);

  private:
    bytes::Reader r_;
    std::size_t pos_ = 2;  // after SOI
};

}  // namespace platform::jpeg

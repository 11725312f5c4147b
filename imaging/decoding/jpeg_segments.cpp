#include "imaging/decoding/jpeg_segments.hpp"

namespace platform::jpeg {

namespace {

bool IsStandaloneMarker(std::uint8_t m) {
    // TEM, RST0-RST7, SOI: no length field follows.
    return m == 0x01 || (m >= 0xD0 && m <= 0xD8);
}

}  // namespace

Step SegmentWalk::Next(Segment& out) {
    for (;;) {
        std::uint8_t b = 0;
        if (!r_.U8(pos_, b)) return Step::CutShort;
        while (b != 0xFF) {
            ++pos_;
            if (!r_.U8(pos_, b)) return Step::CutShort;
        }
        std::uint8_t marker = 0xFF;
        while (marker == 0xFF) {
            ++pos_;
            if (!r_.U8(pos_, marker)) return Step::CutShort;
        }
        ++pos_;  // first byte after the marker
        if (marker == 0x00 || IsStandaloneMarker(marker)) continue;
        if (marker == 0xD9 || marker == 0xDA) return Step::Scan;

        std::uint16_t length = 0;
        if (!r_.U16BE(pos_, length)) return Step::CutShort;
        if (length < 2) return Step::Malformed;
        out = Segment{marker, pos_ + 2, length};
        pos_ += length;
        return Step::Segment;
    }
}

}  // namespace platform::jpeg

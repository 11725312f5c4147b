#include "platform/picture_header.hpp"

#include <cstddef>

namespace platform::pictures {

namespace {

// Every read goes through these: they answer false instead of reading past the end.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Has(std::size_t offset, std::size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    bool U8(std::size_t offset, std::uint8_t& out) const {
        if (!Has(offset, 1)) return false;
        out = bytes_[offset];
        return true;
    }
    bool U16BE(std::size_t offset, std::uint16_t& out) const {
        if (!Has(offset, 2)) return false;
        out = static_cast<std::uint16_t>((bytes_[offset] << 8) | bytes_[offset + 1]);
        return true;
    }
    bool U16LE(std::size_t offset, std::uint16_t& out) const {
        if (!Has(offset, 2)) return false;
        out = static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
        return true;
    }
    bool U32BE(std::size_t offset, std::uint32_t& out) const {
        if (!Has(offset, 4)) return false;
        out = (std::uint32_t{bytes_[offset]} << 24) | (std::uint32_t{bytes_[offset + 1]} << 16) |
              (std::uint32_t{bytes_[offset + 2]} << 8) | std::uint32_t{bytes_[offset + 3]};
        return true;
    }
    bool U32LE(std::size_t offset, std::uint32_t& out) const {
        if (!Has(offset, 4)) return false;
        out = std::uint32_t{bytes_[offset]} | (std::uint32_t{bytes_[offset + 1]} << 8) |
              (std::uint32_t{bytes_[offset + 2]} << 16) | (std::uint32_t{bytes_[offset + 3]} << 24);
        return true;
    }
    bool Matches(std::size_t offset, std::span<const std::uint8_t> expected) const {
        if (!Has(offset, expected.size())) return false;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (bytes_[offset + i] != expected[i]) return false;
        }
        return true;
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

// --- JPEG -------------------------------------------------------------------------------

bool IsFrameMarker(std::uint8_t m) {
    // SOF0-SOF15, without DHT (C4), JPG (C8) and DAC (CC).
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

bool IsStandaloneMarker(std::uint8_t m) {
    // TEM, RST0-RST7, SOI: no length field follows.
    return m == 0x01 || (m >= 0xD0 && m <= 0xD8);
}

std::optional<HeaderInfo> ReadJpeg(const Reader& r) {
    std::size_t pos = 2;  // after SOI
    for (;;) {
        // Find the next marker the way libjpeg does: bytes other than 0xFF before it are
        // skipped, fill bytes (repeated 0xFF) are skipped, and FF 00 is not a marker.
        std::uint8_t b = 0;
        if (!r.U8(pos, b)) return std::nullopt;
        while (b != 0xFF) {
            ++pos;
            if (!r.U8(pos, b)) return std::nullopt;
        }
        std::uint8_t marker = 0xFF;
        while (marker == 0xFF) {
            ++pos;
            if (!r.U8(pos, marker)) return std::nullopt;
        }
        ++pos;  // pos: first byte after the marker
        if (marker == 0x00) continue;
        if (IsStandaloneMarker(marker)) continue;
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // EOI or SOS before a frame

        std::uint16_t length = 0;
        if (!r.U16BE(pos, length)) return std::nullopt;
        if (length < 2) return std::nullopt;
        if (IsFrameMarker(marker)) {
            // length(2) precision(1) height(2) width(2) components(1)
            if (length < 8) return std::nullopt;
            std::uint16_t height = 0, width = 0;
            if (!r.U16BE(pos + 3, height) || !r.U16BE(pos + 5, width)) return std::nullopt;
            return HeaderInfo{Format::Jpeg, width, height};
        }
        pos += length;
    }
}

// --- PNG --------------------------------------------------------------------------------

std::optional<HeaderInfo> ReadPng(const Reader& r) {
    static constexpr std::uint8_t kIhdr[] = {'I', 'H', 'D', 'R'};
    std::uint32_t length = 0, width = 0, height = 0;
    if (!r.U32BE(8, length) || length != 13) return std::nullopt;
    if (!r.Matches(12, kIhdr)) return std::nullopt;
    if (!r.U32BE(16, width) || !r.U32BE(20, height)) return std::nullopt;
    return HeaderInfo{Format::Png, width, height};
}

// --- GIF --------------------------------------------------------------------------------

std::optional<HeaderInfo> ReadGif(const Reader& r) {
    std::uint16_t width = 0, height = 0;
    if (!r.U16LE(6, width) || !r.U16LE(8, height)) return std::nullopt;
    return HeaderInfo{Format::Gif, width, height};
}

// --- BMP --------------------------------------------------------------------------------

std::optional<HeaderInfo> ReadBmp(const Reader& r) {
    std::uint32_t dibSize = 0;
    if (!r.U32LE(14, dibSize)) return std::nullopt;
    if (dibSize == 12) {  // BITMAPCOREHEADER: unsigned 16-bit sides
        std::uint16_t width = 0, height = 0;
        if (!r.U16LE(18, width) || !r.U16LE(20, height)) return std::nullopt;
        return HeaderInfo{Format::Bmp, width, height};
    }
    if (dibSize < 40) return std::nullopt;
    // BITMAPINFOHEADER and its successors: signed 32-bit sides, a negative height for a
    // picture stored top-down.
    std::uint32_t rawWidth = 0, rawHeight = 0;
    if (!r.U32LE(18, rawWidth) || !r.U32LE(22, rawHeight)) return std::nullopt;
    const auto width = static_cast<std::int32_t>(rawWidth);
    const auto height = static_cast<std::int32_t>(rawHeight);
    if (width <= 0) return std::nullopt;
    if (rawHeight == 0x80000000u) return std::nullopt;  // INT32_MIN has no absolute value
    const std::uint32_t absHeight =
        height < 0 ? static_cast<std::uint32_t>(-height) : static_cast<std::uint32_t>(height);
    return HeaderInfo{Format::Bmp, static_cast<std::uint32_t>(width), absHeight};
}

}  // namespace

std::optional<HeaderInfo> ReadHeader(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kJpeg[] = {0xFF, 0xD8};
    static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static constexpr std::uint8_t kGif87[] = {'G', 'I', 'F', '8', '7', 'a'};
    static constexpr std::uint8_t kGif89[] = {'G', 'I', 'F', '8', '9', 'a'};
    static constexpr std::uint8_t kBmp[] = {'B', 'M'};

    const Reader r(bytes);
    if (r.Matches(0, kJpeg)) return ReadJpeg(r);
    if (r.Matches(0, kPng)) return ReadPng(r);
    if (r.Matches(0, kGif87) || r.Matches(0, kGif89)) return ReadGif(r);
    if (r.Matches(0, kBmp)) return ReadBmp(r);
    return std::nullopt;
}

bool WithinBudget(const HeaderInfo& info) {
    if (info.width < 1 || info.width > kMaxSide) return false;
    if (info.height < 1 || info.height > kMaxSide) return false;
    return std::uint64_t{info.width} * std::uint64_t{info.height} <= kMaxPixels;
}

}  // namespace platform::pictures

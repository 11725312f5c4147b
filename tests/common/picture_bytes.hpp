// Builders of picture files for the tests: whole BMP files, and the first bytes of other formats
// for the header and orientation readers, each saying how many of its bytes a reader needs
// before it can know the size.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace picture_bytes {

using Bytes = std::vector<std::uint8_t>;

inline void Be16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}
inline void Be32(Bytes& b, std::uint32_t v) {
    Be16(b, v >> 16);
    Be16(b, v & 0xFFFF);
}
inline void Le16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Le32(Bytes& b, std::uint32_t v) {
    Le16(b, v & 0xFFFF);
    Le16(b, v >> 16);
}
inline void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

inline std::string AsString(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

// A BMP file: the file header, an info header of `dibSize` bytes (40: BITMAPINFOHEADER, 108: V4,
// 124: V5, 64: OS/2 2.x) with signed 32-bit sides, then `pixels` as they are.
inline Bytes BmpFile(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                     const Bytes& pixels, std::uint32_t dibSize = 40) {
    Bytes b = {'B', 'M'};
    Le32(b, static_cast<std::uint32_t>(14 + dibSize + pixels.size()));  // file size
    Le32(b, 0);
    Le32(b, 14 + dibSize);  // pixel offset
    Le32(b, dibSize);
    Le32(b, static_cast<std::uint32_t>(width));
    Le32(b, static_cast<std::uint32_t>(height));
    Le16(b, 1);  // planes
    Le16(b, bitsPerPixel);
    // Uncompressed; the rest of the header may stay zero (a header claiming fewer bytes than
    // these is a broken file, written as it is).
    if (b.size() < 14 + dibSize) b.resize(14 + dibSize, 0);
    Append(b, pixels);
    return b;
}

// A 24-bit BMP file stored bottom up, pixel (x, y) of the colour colourAt(x, y) gives as
// 0xRRGGBB.
template <class ColourAt>
Bytes Bmp24(int width, int height, ColourAt colourAt) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    Bytes pixels;
    pixels.reserve(stride * static_cast<std::size_t>(height));
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = pixels.size();
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourAt(x, y);
            pixels.insert(pixels.end(),
                          {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c >> 16)});
        }
        pixels.resize(rowStart + stride, 0);
    }
    return BmpFile(width, height, 24, pixels);
}

// A header and how many of its bytes a reader needs before it can know the size.
struct Built {
    Bytes bytes;
    std::size_t sizeEnd;  // past the last byte of the size
};

// A JPEG file: SOI, then the segments in the order added.
class Jpeg {
  public:
    Jpeg() : bytes_{0xFF, 0xD8} {}

    // A marker segment with a length field and `payload` bytes of `fill`.
    Jpeg& Segment(std::uint8_t marker, std::size_t payload, std::uint8_t fill = 0x00) {
        bytes_.push_back(0xFF);
        bytes_.push_back(marker);
        Be16(bytes_, static_cast<std::uint32_t>(payload + 2));
        bytes_.insert(bytes_.end(), payload, fill);
        return *this;
    }
    Jpeg& App0() {  // JFIF
        bytes_.insert(bytes_.end(), {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01,
                                     0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00});
        return *this;
    }
    // A frame header (SOF0 by default) of three components.
    Jpeg& Frame(std::uint16_t width, std::uint16_t height, std::uint8_t marker = 0xC0) {
        bytes_.push_back(0xFF);
        bytes_.push_back(marker);
        Be16(bytes_, 17);
        bytes_.push_back(8);
        Be16(bytes_, height);
        Be16(bytes_, width);
        sizeEnd_ = bytes_.size();
        bytes_.insert(bytes_.end(), {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
        return *this;
    }
    Jpeg& Raw(const Bytes& raw) {
        Append(bytes_, raw);
        return *this;
    }
    // An APP1 segment holding "Exif\0\0" and a TIFF structure; `declared` replaces the
    // length field's value when given (a segment that claims more or less than it holds).
    Jpeg& Exif(const Bytes& tiff, std::uint32_t declared = 0) {
        bytes_.insert(bytes_.end(), {0xFF, 0xE1});
        Be16(bytes_, declared ? declared : static_cast<std::uint32_t>(tiff.size() + 8));
        bytes_.insert(bytes_.end(), {'E', 'x', 'i', 'f', 0x00, 0x00});
        Append(bytes_, tiff);
        return *this;
    }
    Jpeg& Tables() {  // DQT and DHT, as a camera writes them before or after the frame
        return Segment(0xDB, 65, 0x01).Segment(0xC4, 28, 0x02);
    }
    Jpeg& ScanAndEnd() { return Segment(0xDA, 10).Raw({0x12, 0x34, 0xFF, 0x00, 0x56, 0xFF, 0xD9}); }

    Built Build() const { return {bytes_, sizeEnd_ ? sizeEnd_ : bytes_.size() + 1}; }

  private:
    Bytes bytes_;
    std::size_t sizeEnd_ = 0;
};

inline Built Png(std::uint32_t width, std::uint32_t height, std::uint32_t ihdrLength = 13,
                 const char* type = "IHDR") {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Be32(b, ihdrLength);
    b.insert(b.end(), type, type + 4);
    Be32(b, width);
    Be32(b, height);
    b.insert(b.end(), {8, 6, 0, 0, 0});           // depth, colour type, methods
    b.insert(b.end(), {0x12, 0x34, 0x56, 0x78});  // CRC (not checked)
    const bool valid = ihdrLength == 13 && std::string(type, 4) == "IHDR";
    return {b, valid ? std::size_t{24} : b.size() + 1};
}

// A TIFF structure: header, then `gap` bytes (pixel data, as writers put before the IFD),
// then the first IFD with the entries in the order added, then the next IFD's offset.
class Tiff {
  public:
    static constexpr std::uint16_t kShort = 3, kLong = 4;

    explicit Tiff(bool bigEndian = false) : big_(bigEndian) {}

    Tiff& Entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
        entries_.push_back({tag, type, count, value});
        return *this;
    }
    Tiff& Size(std::uint32_t width, std::uint32_t height, std::uint16_t type = kShort) {
        return Entry(256, type, 1, width).Entry(257, type, 1, height);
    }
    Tiff& Orientation(std::uint32_t value, std::uint16_t type = kShort) {
        return Entry(274, type, 1, value);
    }
    Tiff& Gap(std::size_t bytes) {
        gap_ = bytes;
        return *this;
    }
    // Replaces the first IFD's offset in the header, the entry count, the next IFD's offset.
    Tiff& IfdOffset(std::uint32_t offset) {
        ifdOffset_ = offset;
        return *this;
    }
    Tiff& Count(std::uint16_t count) {
        count_ = count;
        count_set_ = true;
        return *this;
    }
    Tiff& Next(std::uint32_t offset) {
        next_ = offset;
        return *this;
    }
    // The offset where the first IFD is written.
    std::uint32_t IfdAt() const { return static_cast<std::uint32_t>(8 + gap_); }

    Bytes Structure() const {
        Bytes b;
        b.insert(b.end(), big_ ? std::initializer_list<std::uint8_t>{'M', 'M', 0x00, 0x2A}
                               : std::initializer_list<std::uint8_t>{'I', 'I', 0x2A, 0x00});
        U32(b, ifdOffset_.value_or(IfdAt()));
        b.insert(b.end(), gap_, 0x5A);
        U16(b, count_set_ ? count_ : static_cast<std::uint32_t>(entries_.size()));
        for (const auto& e : entries_) {
            U16(b, e.tag);
            U16(b, e.type);
            U32(b, e.count);
            // A SHORT is left-justified in the 4-byte field.
            if (e.type == kShort) {
                U16(b, e.value);
                U16(b, 0);
            } else {
                U32(b, e.value);
            }
        }
        U32(b, next_);
        return b;
    }
    // As a file: the size is known once the whole first IFD is there.
    Built Build(bool valid = true) const {
        const Bytes b = Structure();
        return {b, valid ? IfdAt() + 2 + 12 * entries_.size() : b.size() + 1};
    }

  private:
    struct E {
        std::uint16_t tag, type;
        std::uint32_t count, value;
    };
    void U16(Bytes& b, std::uint32_t v) const { big_ ? Be16(b, v) : Le16(b, v); }
    void U32(Bytes& b, std::uint32_t v) const { big_ ? Be32(b, v) : Le32(b, v); }

    bool big_;
    std::vector<E> entries_;
    std::size_t gap_ = 0;
    std::optional<std::uint32_t> ifdOffset_;
    std::uint32_t next_ = 0;
    std::uint16_t count_ = 0;
    bool count_set_ = false;
};

// An icon (or, with `cursor`, a cursor file): the directory, then each image's data in the
// order added.
class Icon {
  public:
    explicit Icon(bool cursor = false) : cursor_(cursor) {}

    // An image with a BITMAPINFOHEADER of `width` x `height` (its height field twice that,
    // for the transparency mask) and directory bytes `dirW` x `dirH` (0 for 256).
    Icon& Dib(std::int32_t width, std::int32_t height, std::uint16_t bits = 32,
              std::uint8_t dirW = 0xFF, std::uint8_t dirH = 0xFF) {
        Bytes d;
        Le32(d, 40);
        Le32(d, static_cast<std::uint32_t>(width));
        Le32(d, static_cast<std::uint32_t>(height) * 2u);
        Le16(d, 1);
        Le16(d, bits);
        d.insert(d.end(), 24, 0);  // compression .. important colours
        d.insert(d.end(), 16, 0x33);
        images_.push_back({Dir(dirW, width), Dir(dirH, height), bits, d, 16});
        return *this;
    }
    // An image stored as a PNG of `width` x `height`.
    Icon& PngImage(std::uint32_t width, std::uint32_t height, std::uint8_t dirW = 0,
                   std::uint8_t dirH = 0) {
        images_.push_back({dirW, dirH, 32, Png(width, height).bytes, 24});
        return *this;
    }
    // An image whose data is `data`, as it is.
    Icon& RawImage(const Bytes& data, std::uint8_t dirW = 16, std::uint8_t dirH = 16) {
        images_.push_back({dirW, dirH, 32, data, data.size() + 1});
        return *this;
    }
    Icon& Count(std::uint16_t count) {
        count_ = count;
        count_set_ = true;
        return *this;
    }
    // Replaces image `index`'s data offset in the directory.
    Icon& Offset(std::size_t index, std::uint32_t offset) {
        offsets_.push_back({index, offset});
        return *this;
    }

    Built Build(bool valid = true) const {
        Bytes b = {0x00, 0x00, static_cast<std::uint8_t>(cursor_ ? 2 : 1), 0x00};
        Le16(b, count_set_ ? count_ : static_cast<std::uint32_t>(images_.size()));
        std::size_t at = 6 + 16 * images_.size();
        std::size_t sizeEnd = at;
        for (std::size_t i = 0; i < images_.size(); ++i) {
            const Image& im = images_[i];
            std::uint32_t offset = static_cast<std::uint32_t>(at);
            for (const auto& [index, replaced] : offsets_) {
                if (index == i) offset = replaced;
            }
            b.insert(b.end(), {im.dirW, im.dirH, 0, 0});
            Le16(b, cursor_ ? 3 : 1);        // planes, or the hot spot's x
            Le16(b, cursor_ ? 5 : im.bits);  // bits per pixel, or the hot spot's y
            Le32(b, static_cast<std::uint32_t>(im.data.size()));
            Le32(b, offset);
            sizeEnd = std::max(sizeEnd, offset + im.needed);
            at += im.data.size();
        }
        for (const Image& im : images_) Append(b, im.data);
        return {b, valid ? sizeEnd : b.size() + 1};
    }

  private:
    static std::uint8_t Dir(std::uint8_t given, std::int32_t side) {
        return given != 0xFF ? given : static_cast<std::uint8_t>(side >= 256 ? 0 : side);
    }
    struct Image {
        std::uint8_t dirW, dirH;
        std::uint16_t bits;
        Bytes data;
        std::size_t needed;  // bytes of the data a reader needs for the size
    };
    bool cursor_;
    std::vector<Image> images_;
    std::vector<std::pair<std::size_t, std::uint32_t>> offsets_;
    std::uint16_t count_ = 0;
    bool count_set_ = false;
};

// WebP files: a RIFF header, then the first chunk of each kind.
inline Bytes Riff(const char* chunk, const Bytes& data) {
    Bytes b = {'R', 'I', 'F', 'F'};
    Le32(b, static_cast<std::uint32_t>(12 + data.size()));
    b.insert(b.end(), {'W', 'E', 'B', 'P'});
    b.insert(b.end(), chunk, chunk + 4);
    Le32(b, static_cast<std::uint32_t>(data.size()));
    Append(b, data);
    return b;
}
// Lossy: frame tag, start code, 14-bit sides with 2 bits of upscaling above them.
inline Built WebPLossy(std::uint32_t width, std::uint32_t height, std::uint32_t scale = 0) {
    Bytes d = {0x50, 0x02, 0x00, 0x9D, 0x01, 0x2A};
    Le16(d, width | scale << 14);
    Le16(d, height | scale << 14);
    d.insert(d.end(), 8, 0x44);
    return {Riff("VP8 ", d), 30};
}
// Lossless: signature 0x2F, then width - 1 and height - 1 in 14 bits each, alpha, version.
inline Built WebPLossless(std::uint32_t width, std::uint32_t height, std::uint32_t version = 0) {
    Bytes d = {0x2F};
    Le32(d, (width - 1) | (height - 1) << 14 | 1u << 28 | version << 29);
    d.insert(d.end(), 8, 0x44);
    return {Riff("VP8L", d), 25};
}
// Extended: flags, reserved, the canvas's width - 1 and height - 1 in 24 bits each.
inline Built WebPExtended(std::uint32_t width, std::uint32_t height) {
    Bytes d = {0x10, 0, 0, 0};
    const std::uint32_t w = width - 1, h = height - 1;
    d.insert(d.end(), {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8),
                       static_cast<std::uint8_t>(w >> 16), static_cast<std::uint8_t>(h),
                       static_cast<std::uint8_t>(h >> 8), static_cast<std::uint8_t>(h >> 16)});
    return {Riff("VP8X", d), 30};
}

}  // namespace picture_bytes

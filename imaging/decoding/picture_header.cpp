#include "imaging/decoding/picture_header.hpp"

#include <cstddef>

#include "imaging/decoding/byte_reader.hpp"
#include "imaging/decoding/heif_boxes.hpp"
#include "imaging/decoding/jpeg_segments.hpp"
#include "imaging/decoding/tiff_ifd.hpp"

namespace platform::pictures {

namespace {

using bytes::Reader;

HeaderReading Read(Format format, std::uint32_t width, std::uint32_t height,
                   std::uint32_t frame = 0) {
    return {HeaderVerdict::Read, HeaderInfo{format, width, height, frame}};
}
HeaderReading Cut(Format format) {
    return {HeaderVerdict::CutShort, HeaderInfo{format, 0, 0}};
}
HeaderReading Bad(Format format) {
    return {HeaderVerdict::Malformed, HeaderInfo{format, 0, 0}};
}

// --- JPEG -------------------------------------------------------------------------------

bool IsFrameMarker(std::uint8_t m) {
    // SOF0-SOF15, without DHT (C4), JPG (C8) and DAC (CC).
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

HeaderReading ReadJpeg(const Reader& r) {
    jpeg::SegmentWalk walk(r);
    jpeg::Segment segment;
    for (;;) {
        switch (walk.Next(segment)) {
            case jpeg::Step::Segment:
                break;
            case jpeg::Step::CutShort:
                return Cut(Format::Jpeg);
            case jpeg::Step::Scan:  // a scan or the end before any frame
            case jpeg::Step::Malformed:
                return Bad(Format::Jpeg);
        }
        if (!IsFrameMarker(segment.marker)) continue;
        // precision(1) height(2) width(2) components(1) after the length
        if (segment.length < 8) return Bad(Format::Jpeg);
        std::uint16_t height = 0, width = 0;
        if (!r.U16BE(segment.data + 1, height) || !r.U16BE(segment.data + 3, width))
            return Cut(Format::Jpeg);
        return Read(Format::Jpeg, width, height);
    }
}

// --- PNG --------------------------------------------------------------------------------

// The IHDR chunk of a PNG that starts at `at` (after its 8-byte signature).
HeaderReading ReadPngAt(const Reader& r, std::size_t at, Format format, std::uint32_t frame) {
    static constexpr std::uint8_t kIhdr[] = {'I', 'H', 'D', 'R'};
    std::uint32_t length = 0, width = 0, height = 0;
    if (!r.U32BE(at + 8, length)) return Cut(format);
    if (length != 13) return Bad(format);
    if (!r.Has(at + 12, 4)) return Cut(format);
    if (!r.Matches(at + 12, kIhdr)) return Bad(format);
    if (!r.U32BE(at + 16, width) || !r.U32BE(at + 20, height)) return Cut(format);
    return Read(format, width, height, frame);
}

// --- GIF --------------------------------------------------------------------------------

HeaderReading ReadGif(const Reader& r) {
    std::uint16_t width = 0, height = 0;
    if (!r.U16LE(6, width) || !r.U16LE(8, height)) return Cut(Format::Gif);
    return Read(Format::Gif, width, height);
}

// --- BMP --------------------------------------------------------------------------------

HeaderReading ReadBmp(const Reader& r) {
    std::uint32_t dibSize = 0;
    if (!r.U32LE(14, dibSize)) return Cut(Format::Bmp);
    if (dibSize == 12) {  // BITMAPCOREHEADER: unsigned 16-bit sides
        std::uint16_t width = 0, height = 0;
        if (!r.U16LE(18, width) || !r.U16LE(20, height)) return Cut(Format::Bmp);
        return Read(Format::Bmp, width, height);
    }
    if (dibSize < 40) return Bad(Format::Bmp);
    // BITMAPINFOHEADER and its successors: signed 32-bit sides, a negative height for a
    // picture stored top-down.
    std::uint32_t rawWidth = 0, rawHeight = 0;
    if (!r.U32LE(18, rawWidth) || !r.U32LE(22, rawHeight)) return Cut(Format::Bmp);
    const auto width = static_cast<std::int32_t>(rawWidth);
    const auto height = static_cast<std::int32_t>(rawHeight);
    if (width <= 0) return Bad(Format::Bmp);
    if (rawHeight == 0x80000000u) return Bad(Format::Bmp);  // INT32_MIN has no absolute value
    const std::uint32_t absHeight =
        height < 0 ? static_cast<std::uint32_t>(-height) : static_cast<std::uint32_t>(height);
    return Read(Format::Bmp, static_cast<std::uint32_t>(width), absHeight);
}

// --- TIFF -------------------------------------------------------------------------------

HeaderReading FromLookup(tiff::Lookup lookup) {
    return lookup == tiff::Lookup::CutShort ? Cut(Format::Tiff) : Bad(Format::Tiff);
}

HeaderReading ReadTiff(const Reader& r) {
    constexpr std::uint16_t kImageWidth = 256, kImageLength = 257;
    tiff::Structure s;
    if (const auto l = tiff::ReadStructure(r, s); l != tiff::Lookup::Found) return FromLookup(l);
    tiff::Number width, height;
    if (const auto l = tiff::FindNumber(r, s, kImageWidth, width); l != tiff::Lookup::Found)
        return FromLookup(l);
    if (const auto l = tiff::FindNumber(r, s, kImageLength, height); l != tiff::Lookup::Found)
        return FromLookup(l);
    return Read(Format::Tiff, width.value, height.value);
}

// --- ICO and CUR ------------------------------------------------------------------------

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// One image of an icon: its size and bits per pixel as its own header gives them. The
// platform decoder sizes an image from the PNG or DIB header it finds at the entry's offset,
// not from the directory's width and height bytes, so the budget must come from there too.
struct IconImage {
    HeaderReading reading;
    std::uint32_t bitsPerPixel = 0;
};

IconImage ReadIconImage(const Reader& r, Format format, std::uint32_t index, std::size_t at) {
    // 16 bytes hold a PNG's signature and IHDR length and type, or a DIB header's size,
    // width, height, planes and bit count.
    if (!r.Has(at, 16)) return {Cut(format)};
    if (r.Matches(at, kPngSignature)) return {ReadPngAt(r, at, format, index), 32};
    std::uint32_t headerSize = 0;
    (void)r.U32LE(at, headerSize);
    if (headerSize == 12) {  // BITMAPCOREHEADER
        std::uint16_t width = 0, height = 0, bits = 0;
        (void)r.U16LE(at + 4, width);
        (void)r.U16LE(at + 6, height);
        (void)r.U16LE(at + 10, bits);
        // The height counts the colour rows and the transparency mask's rows.
        if (width == 0 || height < 2) return {Bad(format)};
        return {Read(format, width, height / 2u, index), bits};
    }
    if (headerSize < 40) return {Bad(format)};
    std::uint32_t rawWidth = 0, rawHeight = 0;
    std::uint16_t bits = 0;
    (void)r.U32LE(at + 4, rawWidth);
    (void)r.U32LE(at + 8, rawHeight);
    (void)r.U16LE(at + 14, bits);
    const auto width = static_cast<std::int32_t>(rawWidth);
    const auto height = static_cast<std::int32_t>(rawHeight);
    if (width <= 0 || rawHeight == 0x80000000u) return {Bad(format)};
    const std::uint32_t absHeight =
        height < 0 ? static_cast<std::uint32_t>(-height) : static_cast<std::uint32_t>(height);
    if (absHeight < 2) return {Bad(format)};
    return {Read(format, static_cast<std::uint32_t>(width), absHeight / 2u, index), bits};
}

// Which of two images an icon is shown by: one beyond the budget first (so that the file is
// refused), then the larger, then the deeper; the earlier on a tie.
bool Outranks(const IconImage& a, const IconImage& b) {
    const HeaderInfo& x = a.reading.info;
    const HeaderInfo& y = b.reading.info;
    const bool xOver = !WithinBudget(x), yOver = !WithinBudget(y);
    if (xOver != yOver) return xOver;
    const std::uint64_t xArea = std::uint64_t{x.width} * x.height;
    const std::uint64_t yArea = std::uint64_t{y.width} * y.height;
    if (xArea != yArea) return xArea > yArea;
    return a.bitsPerPixel > b.bitsPerPixel;
}

HeaderReading ReadIcon(const Reader& r, Format format) {
    constexpr std::size_t kEntryBytes = 16;
    std::uint16_t count = 0;
    if (!r.U16LE(4, count)) return Cut(format);
    if (count == 0) return Bad(format);
    // Every image is read, at most 65535 of them: any one may be what the decoder is asked.
    IconImage best;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + std::size_t{i} * kEntryBytes;
        std::uint32_t offset = 0;
        if (!r.Has(entry, kEntryBytes)) return Cut(format);
        (void)r.U32LE(entry + 12, offset);
        const IconImage image = ReadIconImage(r, format, i, offset);
        if (image.reading.verdict != HeaderVerdict::Read) return image.reading;
        if (i == 0 || Outranks(image, best)) best = image;
    }
    return best.reading;
}

// --- WebP -------------------------------------------------------------------------------

HeaderReading ReadWebP(const Reader& r) {
    static constexpr std::uint8_t kLossy[] = {'V', 'P', '8', ' '};
    static constexpr std::uint8_t kLossless[] = {'V', 'P', '8', 'L'};
    static constexpr std::uint8_t kExtended[] = {'V', 'P', '8', 'X'};
    static constexpr std::uint8_t kKeyFrameStart[] = {0x9D, 0x01, 0x2A};
    // The first chunk's type at 12, its data from 20.
    if (!r.Has(12, 8)) return Cut(Format::WebP);
    if (r.Matches(12, kLossy)) {
        // A key frame: 3 bytes of frame tag, a start code, then 14-bit sides (and 2 bits of
        // upscaling, which the decoder does not apply).
        if (!r.Has(20, 10)) return Cut(Format::WebP);
        if (!r.Matches(23, kKeyFrameStart)) return Bad(Format::WebP);
        std::uint16_t width = 0, height = 0;
        (void)r.U16LE(26, width);
        (void)r.U16LE(28, height);
        return Read(Format::WebP, width & 0x3FFFu, height & 0x3FFFu);
    }
    if (r.Matches(12, kLossless)) {
        // Signature 0x2F, then width - 1 and height - 1 in 14 bits each and a 3-bit version
        // that is 0.
        std::uint8_t signature = 0;
        std::uint32_t bits = 0;
        if (!r.U8(20, signature) || !r.U32LE(21, bits)) return Cut(Format::WebP);
        if (signature != 0x2F || (bits >> 29) != 0) return Bad(Format::WebP);
        return Read(Format::WebP, (bits & 0x3FFFu) + 1, ((bits >> 14) & 0x3FFFu) + 1);
    }
    if (r.Matches(12, kExtended)) {
        // Flags and reserved bytes, then the canvas's width - 1 and height - 1 in 24 bits.
        std::uint32_t width = 0, height = 0;
        if (!r.U24LE(24, width) || !r.U24LE(27, height)) return Cut(Format::WebP);
        return Read(Format::WebP, width + 1, height + 1);
    }
    return Bad(Format::WebP);
}

// --- HEIF and AVIF ----------------------------------------------------------------------

HeaderReading ReadHeif(const Reader& r) {
    heif::PrimarySize size;
    switch (heif::ReadPrimarySize(r, size)) {
        case heif::Lookup::Found:
            return Read(Format::Heif, size.width, size.height);
        case heif::Lookup::CutShort:
            return Cut(Format::Heif);
        case heif::Lookup::Malformed:
            break;
    }
    return Bad(Format::Heif);
}

}  // namespace

HeaderReading ReadPictureHeader(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kJpeg[] = {0xFF, 0xD8};
    static constexpr std::uint8_t kGif87[] = {'G', 'I', 'F', '8', '7', 'a'};
    static constexpr std::uint8_t kGif89[] = {'G', 'I', 'F', '8', '9', 'a'};
    static constexpr std::uint8_t kBmp[] = {'B', 'M'};
    static constexpr std::uint8_t kTiffLittle[] = {'I', 'I', 0x2A, 0x00};
    static constexpr std::uint8_t kTiffBig[] = {'M', 'M', 0x00, 0x2A};
    static constexpr std::uint8_t kIco[] = {0x00, 0x00, 0x01, 0x00};
    static constexpr std::uint8_t kCur[] = {0x00, 0x00, 0x02, 0x00};
    static constexpr std::uint8_t kFtyp[] = {'f', 't', 'y', 'p'};
    static constexpr std::uint8_t kRiff[] = {'R', 'I', 'F', 'F'};
    static constexpr std::uint8_t kWebP[] = {'W', 'E', 'B', 'P'};

    const Reader r(bytes);
    if (r.Matches(0, kJpeg)) return ReadJpeg(r);
    if (r.Matches(0, kPngSignature)) return ReadPngAt(r, 0, Format::Png, 0);
    if (r.Matches(0, kGif87) || r.Matches(0, kGif89)) return ReadGif(r);
    if (r.Matches(0, kBmp)) return ReadBmp(r);
    if (r.Matches(0, kTiffLittle) || r.Matches(0, kTiffBig)) return ReadTiff(r);
    if (heif::HasHeifBrand(r)) return ReadHeif(r);
    // A HEIF or AVIF file (or another ISO media file) whose first box (ftyp) is 256 or 512
    // bytes long starts with the same four bytes as an icon or a cursor.
    if (!r.Matches(4, kFtyp)) {
        if (r.Matches(0, kIco)) return ReadIcon(r, Format::Ico);
        if (r.Matches(0, kCur)) return ReadIcon(r, Format::Cur);
    }
    if (r.Matches(0, kRiff) && r.Matches(8, kWebP)) return ReadWebP(r);
    return {};
}

std::optional<HeaderInfo> ReadHeader(std::span<const std::uint8_t> bytes) {
    const HeaderReading reading = ReadPictureHeader(bytes);
    if (reading.verdict != HeaderVerdict::Read) return std::nullopt;
    return reading.info;
}

bool WithinBudget(std::uint32_t width, std::uint32_t height) {
    if (width < 1 || width > kMaxSide) return false;
    if (height < 1 || height > kMaxSide) return false;
    return std::uint64_t{width} * std::uint64_t{height} <= kMaxPixels;
}

bool WithinBudget(const HeaderInfo& info) {
    return WithinBudget(info.width, info.height);
}

Admission Admit(const HeaderReading& reading) {
    switch (reading.verdict) {
        case HeaderVerdict::Read:
            return WithinBudget(reading.info) ? Admission::Decode : Admission::Refuse;
        case HeaderVerdict::Unknown:
            return Admission::CheckFrameSize;
        case HeaderVerdict::CutShort:
        case HeaderVerdict::Malformed:
            break;
    }
    return Admission::Refuse;
}

}  // namespace platform::pictures

// The promises of the picture header reader, checked on any bytes by the fuzz targets; a
// broken one aborts with what was expected.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>

#include "imaging/decoding/picture_header.hpp"

namespace header_promises {

[[noreturn]] inline void Fail(const char* what, unsigned long long expected,
                              unsigned long long got) {
    std::fprintf(stderr, "broken promise: %s: expected %llu, got %llu\n", what, expected, got);
    std::abort();
}

// Whether a file type box names a HEIF brand: the major one, or, in a box of at least 16 bytes,
// a compatible one; a box that the bytes end inside may still name one.
inline bool NamesHeifBrand(std::span<const std::uint8_t> b) {
    static const char* const kBrands[] = {"heic", "heix", "hevc", "heim", "heis",
                                          "mif1", "msf1", "avif", "avis"};
    const auto known = [&](std::size_t at) {
        for (const char* brand : kBrands)
            if (std::memcmp(b.data() + at, brand, 4) == 0) return true;
        return false;
    };
    if (b.size() < 12 || known(8)) return true;
    const std::size_t size =
        std::size_t{b[0]} << 24 | std::size_t{b[1]} << 16 | std::size_t{b[2]} << 8 | b[3];
    if (size < 16) return false;
    for (std::size_t at = 16; at + 4 <= size; at += 4) {
        if (at + 4 > b.size()) return true;
        if (known(at)) return true;
    }
    return false;
}

// The format a file's signature names, found apart from the reader.
inline std::optional<platform::pictures::Format> BySignature(std::span<const std::uint8_t> b) {
    using platform::pictures::Format;
    const auto starts = [&](std::size_t at, const char* text, std::size_t n) {
        return b.size() >= at + n && std::memcmp(b.data() + at, text, n) == 0;
    };
    if (starts(0, "\xFF\xD8", 2)) return Format::Jpeg;
    if (starts(0, "\x89PNG\r\n\x1A\n", 8)) return Format::Png;
    if (starts(0, "GIF87a", 6) || starts(0, "GIF89a", 6)) return Format::Gif;
    if (starts(0, "BM", 2)) return Format::Bmp;
    if (starts(0, "II*\0", 4) || starts(0, "MM\0*", 4)) return Format::Tiff;
    if (starts(4, "ftyp", 4) && NamesHeifBrand(b)) return Format::Heif;
    if (!starts(4, "ftyp", 4)) {
        if (starts(0, "\0\0\1\0", 4)) return Format::Ico;
        if (starts(0, "\0\0\2\0", 4)) return Format::Cur;
    }
    if (starts(0, "RIFF", 4) && starts(8, "WEBP", 4)) return Format::WebP;
    return std::nullopt;
}

inline bool Same(const platform::pictures::HeaderReading& a,
                 const platform::pictures::HeaderReading& b) {
    using platform::pictures::HeaderVerdict;
    if (a.verdict != b.verdict) return false;
    if (a.verdict == HeaderVerdict::Unknown) return true;
    if (a.info.format != b.info.format) return false;
    return a.verdict != HeaderVerdict::Read ||
           (a.info.width == b.info.width && a.info.height == b.info.height &&
            a.info.frame == b.info.frame);
}

inline void Check(std::span<const std::uint8_t> bytes) {
    using namespace platform::pictures;
    const HeaderReading reading = ReadPictureHeader(bytes);
    const auto signature = BySignature(bytes);

    // Unknown exactly when no signature is there; otherwise the format it names.
    if ((reading.verdict == HeaderVerdict::Unknown) != !signature)
        Fail("unknown exactly without a signature", !signature,
             reading.verdict == HeaderVerdict::Unknown);
    if (signature && reading.info.format != *signature)
        Fail("format by the signature", static_cast<unsigned>(*signature),
             static_cast<unsigned>(reading.info.format));

    // The other entry points agree.
    const auto info = ReadHeader(bytes);
    if (info.has_value() != (reading.verdict == HeaderVerdict::Read))
        Fail("a size exactly when read", reading.verdict == HeaderVerdict::Read, info.has_value());
    const Admission admission = Admit(reading);
    const Admission expected =
        reading.verdict == HeaderVerdict::Unknown ? Admission::CheckFrameSize
        : reading.verdict == HeaderVerdict::Read && WithinBudget(reading.info) ? Admission::Decode
                                                                               : Admission::Refuse;
    if (admission != expected)
        Fail("admission", static_cast<unsigned>(expected), static_cast<unsigned>(admission));

    if (info && WithinBudget(*info)) {
        if (info->width < 1 || info->width > kMaxSide)
            Fail("width within budget", kMaxSide, info->width);
        if (info->height < 1 || info->height > kMaxSide)
            Fail("height within budget", kMaxSide, info->height);
        const std::uint64_t pixels = std::uint64_t{info->width} * info->height;
        if (pixels > kMaxPixels) Fail("pixels within budget", kMaxPixels, pixels);
    }
    if (info && info->frame != 0 && info->format != Format::Ico && info->format != Format::Cur)
        Fail("a frame other than 0 only for an icon or cursor", 0, info->frame);

    // What a loader that reads the file's start relies on: a copy one byte shorter is cut
    // short, or already says what the whole says.
    if (bytes.size() > 12) {
        const HeaderReading shorter = ReadPictureHeader(bytes.first(bytes.size() - 1));
        if (shorter.verdict != HeaderVerdict::CutShort && !Same(shorter, reading))
            Fail("a shorter copy is cut short or reads the same",
                 static_cast<unsigned>(reading.verdict), static_cast<unsigned>(shorter.verdict));
    }
}

}  // namespace header_promises

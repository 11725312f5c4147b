// Reads a picture file's format and dimensions from its own header, without decoding it, so
// that a file claiming more pixels than the decoding budget is refused before any decoder
// allocates memory for it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace platform::pictures {

// The formats whose headers this reader knows. Ico and Cur are icon and cursor files; Tiff
// is either byte order (not BigTIFF); Heif is the HEIF container with HEVC (HEIC) or AV1
// (AVIF) pictures, its size that of the primary image as shown.
enum class Format : std::uint8_t { Jpeg, Png, Gif, Bmp, Tiff, Ico, Cur, WebP, Heif };

struct HeaderInfo {
    Format format;
    std::uint32_t width;
    std::uint32_t height;
    // Which of the file's frames the size is for: the largest image's entry of an icon or
    // cursor (the platform decoder lists the entries as frames, in the directory's order),
    // 0 for every other format.
    std::uint32_t frame = 0;
};

// What the bytes say about a file.
enum class HeaderVerdict : std::uint8_t {
    Read,       // a format above; its size is read
    Unknown,    // no signature of a format above: some other decoder may know the file
    CutShort,   // a known signature, but the bytes end before the size: more bytes may tell
    Malformed,  // a known signature and a broken header: no more bytes will mend it
};

struct HeaderReading {
    HeaderVerdict verdict = HeaderVerdict::Unknown;
    // The format for every verdict but Unknown; width, height and frame only when Read.
    HeaderInfo info{Format::Jpeg, 0, 0};
};

// The decoding budget: a picture is decoded only when both sides are at least 1 and at most
// kMaxSide pixels and it has at most kMaxPixels pixels (128 Mi pixels, 512 MiB at 32 bits per
// pixel). Photographs of 100 megapixels fit.
inline constexpr std::uint32_t kMaxSide = 65535;
inline constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 27;

// Format and size from the file's first bytes (a JPEG's frame header may stand after large
// metadata segments, a TIFF's first IFD at the end of the file, an icon's images anywhere, a
// HEIF file's meta box after its pictures).
// The verdict depends only on the bytes read: once it is other than CutShort, more bytes of
// the same file give the same reading. A cut of fewer than 12 bytes (the longest signature)
// may read as Unknown.
HeaderReading ReadPictureHeader(std::span<const std::uint8_t> bytes);

// The size when the verdict is Read, else empty.
std::optional<HeaderInfo> ReadHeader(std::span<const std::uint8_t> bytes);

bool WithinBudget(std::uint32_t width, std::uint32_t height);
bool WithinBudget(const HeaderInfo& info);

// What a loader does with a file, given the reading of the whole file.
enum class Admission : std::uint8_t {
    Decode,          // a known format within the budget
    CheckFrameSize,  // an unknown format: a decoder may take it, but only if the size it
                     // reports for the frame is within the budget, checked before a single
                     // pixel is asked for
    Refuse,          // a known format cut short, broken, or beyond the budget
};
Admission Admit(const HeaderReading& reading);

}  // namespace platform::pictures

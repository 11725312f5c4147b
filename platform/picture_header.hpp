// Reads a picture file's format and dimensions from its own header, without decoding it, so
// that a file claiming more pixels than the decoding budget is refused before any decoder
// allocates memory for it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace platform::pictures {

enum class Format : std::uint8_t { Jpeg, Png, Gif, Bmp };

struct HeaderInfo {
    Format format;
    std::uint32_t width;
    std::uint32_t height;
};

// The decoding budget: a picture is decoded only when both sides are at least 1 and at most
// kMaxSide pixels and it has at most kMaxPixels pixels (128 Mi pixels, 512 MiB at 32 bits per
// pixel). Photographs of 100 megapixels fit.
inline constexpr std::uint32_t kMaxSide = 65535;
inline constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 27;

// Format and size from the file's bytes (the whole file: a JPEG's frame header may stand
// after large metadata segments). Empty when the bytes are not a JPEG, PNG, GIF or BMP
// header this reader understands, or are cut short before the size.
std::optional<HeaderInfo> ReadHeader(std::span<const std::uint8_t> bytes);

bool WithinBudget(const HeaderInfo& info);

}  // namespace platform::pictures

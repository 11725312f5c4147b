// A picture's embedded ICC profile as bytes: a JPEG's APP2 chunks put back together, a WebP's
// ICCP chunk, and the
// checks every embedded profile passes before Little CMS sees it. A profile that fails them is
// not used: the picture is painted with its numbers as they are, and the reason is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/decoding/jpeg_decoder.hpp"

namespace platform::icc {

// Largest profile taken: display and camera profiles are a few kilobytes, the largest printer
// profiles a few megabytes.
inline constexpr std::size_t kMaxProfileBytes = std::size_t{4} << 20;

// A profile's bytes, or why there is none to use. Both empty: the picture embeds none.
struct Embedded {
    std::vector<std::uint8_t> bytes;
    std::string problem;
};

// The profile a file's bytes hold: its size as its header declares it (the first 4 bytes, big
// endian) must lie between the header's 128 bytes and the bytes there are and the budget;
// bytes after it are dropped.
Embedded Checked(std::vector<std::uint8_t> bytes);

// A JPEG's chunks, in the order of the file, put together by their sequence numbers: every
// chunk must give the same count, each number from 1 to that count must come exactly once,
// and the whole must pass Checked.
Embedded Reassembled(std::span<const jpeg::IccChunk> chunks);

// The profile of a WebP file's ICCP chunk, from the file's first bytes `start` (the chunk stands
// right after VP8X, before the picture's data): it must lie within them and pass Checked. None
// when the file is not an extended WebP or its VP8X does not announce a profile.
Embedded FromWebP(std::span<const std::uint8_t> start);

}  // namespace platform::icc

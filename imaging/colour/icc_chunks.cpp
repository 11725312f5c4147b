#include "imaging/colour/icc_chunks.hpp"

#include <algorithm>
#include <array>

namespace platform::icc {

namespace {

// The fixed header of every ICC profile.
constexpr std::size_t kHeaderBytes = 128;

Embedded Refused(std::string why) {
    return {{}, std::move(why)};
}

std::uint32_t U32LE(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
           std::uint32_t{b[at + 3]} << 24;
}

bool Named(std::span<const std::uint8_t> b, std::size_t at, const char (&name)[5]) {
    return std::equal(name, name + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

Embedded FromWebP(std::span<const std::uint8_t> start) {
    // RIFF, size, WEBP; then VP8X: its size (10) and flags, whose bit 5 announces a profile.
    constexpr std::size_t kVp8x = 12, kIccp = kVp8x + 8 + 10;
    constexpr std::uint8_t kHasProfile = 0x20;
    if (start.size() < kIccp || !Named(start, 0, "RIFF") || !Named(start, 8, "WEBP") ||
        !Named(start, kVp8x, "VP8X") || U32LE(start, kVp8x + 4) != 10 ||
        (start[kVp8x + 8] & kHasProfile) == 0)
        return {};
    if (start.size() < kIccp + 8) return Refused("the file ends before its ICCP chunk");
    if (!Named(start, kIccp, "ICCP")) return Refused("no ICCP chunk where VP8X announces one");
    const std::uint64_t size = U32LE(start, kIccp + 4);
    if (size > kMaxProfileBytes) return Refused("the ICCP chunk is beyond the budget");
    if (size > start.size() - (kIccp + 8)) return Refused("the ICCP chunk is cut short");
    const auto from = start.begin() + static_cast<std::ptrdiff_t>(kIccp + 8);
    return Checked({from, from + static_cast<std::ptrdiff_t>(size)});
}

Embedded Checked(std::vector<std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    if (bytes.size() < kHeaderBytes) return Refused("the profile ends inside its header");
    const std::uint64_t declared = std::uint64_t{bytes[0]} << 24 | std::uint64_t{bytes[1]} << 16 |
                                   std::uint64_t{bytes[2]} << 8 | bytes[3];
    if (declared > kMaxProfileBytes)
        return Refused("the profile declares " + std::to_string(declared) +
                       " bytes, beyond the budget");
    if (declared < kHeaderBytes) return Refused("the profile declares a size below its header");
    if (declared > bytes.size())
        return Refused("the profile is cut short: " + std::to_string(bytes.size()) + " of " +
                       std::to_string(declared) + " bytes");
    bytes.resize(static_cast<std::size_t>(declared));
    return {std::move(bytes), {}};
}

Embedded Reassembled(std::span<const jpeg::IccChunk> chunks) {
    if (chunks.empty()) return {};
    const std::uint8_t count = chunks.front().count;
    if (count == 0) return Refused("an ICC chunk counts 0 chunks");
    // Where each sequence number's chunk stands in the file; 0: not seen yet.
    std::array<std::size_t, 256> at{};
    std::size_t total = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const jpeg::IccChunk& c = chunks[i];
        if (c.count != count) return Refused("the ICC chunks disagree on their count");
        if (c.sequence == 0 || c.sequence > count)
            return Refused("ICC chunk number " + std::to_string(c.sequence) + " of " +
                           std::to_string(count));
        if (at[c.sequence] != 0)
            return Refused("ICC chunk " + std::to_string(c.sequence) + " comes twice");
        at[c.sequence] = i + 1;
        total += c.bytes.size();
    }
    if (chunks.size() != count)
        return Refused(std::to_string(chunks.size()) + " of " + std::to_string(count) +
                       " ICC chunks");
    if (total > kMaxProfileBytes) return Refused("the ICC chunks are beyond the budget");
    std::vector<std::uint8_t> bytes;
    bytes.reserve(total);
    for (std::size_t n = 1; n <= count; ++n) {
        const auto& part = chunks[at[n] - 1].bytes;
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return Checked(std::move(bytes));
}

}  // namespace platform::icc

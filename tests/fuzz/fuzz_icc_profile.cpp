// Fuzz target: an embedded profile from a JPEG's chunks to the painted pixels. The first byte
// picks how many chunks (1 to 4) the input holds, each but the last led by its sequence number,
// its count and a 16-bit length, the last by its number and count only. Besides the
// sanitizers' checks: a profile put together is whole and within the budget, and a conversion
// runs to sRGB and to a display that has the picture's own profile.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/colour_profile.hpp"
#include "platform/icc_chunks.hpp"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    std::vector<platform::jpeg::IccChunk> chunks;
    for (int n = data[0] % 4 + 1; n > 0 && rest.size() >= 2; --n) {
        platform::jpeg::IccChunk chunk{rest[0], rest[1], {}};
        std::size_t length = rest.size() - 2, lead = 2;
        if (n > 1 && rest.size() >= 4)
            length = std::min<std::size_t>((std::size_t{rest[2]} << 8 | rest[3]), rest.size() - 4),
            lead = 4;
        chunk.bytes.assign(rest.begin() + lead, rest.begin() + lead + length);
        rest = rest.subspan(lead + length);
        chunks.push_back(std::move(chunk));
    }
    const platform::icc::Embedded embedded = platform::icc::Reassembled(chunks);
    if (!embedded.bytes.empty()) {
        const auto& b = embedded.bytes;
        const std::size_t declared =
            std::size_t{b[0]} << 24 | std::size_t{b[1]} << 16 | std::size_t{b[2]} << 8 | b[3];
        if (!embedded.problem.empty() || b.size() < 128 || b.size() != declared ||
            b.size() > platform::icc::kMaxProfileBytes)
            Fail("a profile put together is whole, as declared, within the budget");
    }
    platform::colour::Judged judged = platform::colour::Judge(embedded.bytes);
    if (judged.conversion) {
        platform::pictures::Bitmap bitmap{4,
                                          2,
                                          {0xFF000000u, 0xFFFFFFFFu, 0xFFD62830u, 0xFF3C8C3Cu,
                                           0x80404040u, 0u, 0xFF808080u, 0xFF102030u}};
        judged.conversion->Apply(bitmap, {});
        judged.conversion->Apply(bitmap, embedded.bytes);
        if (bitmap.pixels.size() != 8) Fail("the bitmap keeps its pixels");
    }
    return 0;
}

// Fuzz target: an embedded profile from a JPEG's chunks to the painted pixels. The first byte
// picks how many chunks (1 to 4) the input holds; then come each chunk's sequence number and
// count, then the profile's bytes, shared out evenly. Besides the sanitizers' checks: a profile
// put together is whole, as declared and within the budget, and a conversion runs to sRGB and
// to a display of the picture's own profile.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/colour/colour_profile.hpp"
#include "imaging/colour/icc_chunks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t n = size ? data[0] % 4 + 1 : 0, lead = 1 + 2 * n;
    if (size < lead) return 0;
    std::vector<platform::jpeg::IccChunk> chunks(n);
    const std::size_t share = (size - lead) / n;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* from = data + lead + i * share;
        chunks[i].sequence = data[1 + 2 * i];
        chunks[i].count = data[2 + 2 * i];
        chunks[i].bytes.assign(from, i + 1 < n ? from + share : data + size);
    }
    const platform::icc::Embedded embedded = platform::icc::Reassembled(chunks);
    const auto& b = embedded.bytes;
    if (!b.empty() && (!embedded.problem.empty() || b.size() < 128 ||
                       b.size() > platform::icc::kMaxProfileBytes ||
                       b.size() != (std::size_t{b[0]} << 24 | std::size_t{b[1]} << 16 |
                                    std::size_t{b[2]} << 8 | b[3]))) {
        std::fprintf(stderr, "broken promise: a profile put together is whole, as declared\n");
        std::abort();
    }
    const platform::colour::Judged judged = platform::colour::Judge(b);
    if (judged.conversion) {
        platform::pictures::Bitmap bitmap{4, 1, {0xFF000000u, 0xFFFFFFFFu, 0x80D62830u, 0u}};
        judged.conversion->Apply(bitmap, {});
        judged.conversion->Apply(bitmap, b);
    }
    return 0;
}

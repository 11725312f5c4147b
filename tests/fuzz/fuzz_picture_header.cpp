// Fuzz target: the picture header reader and the decoding budget, which stand between any file
// the program is given and the decoder. Besides the sanitizers' checks, the reader's promises
// are checked, and a broken one aborts with what was expected.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "platform/picture_header.hpp"

namespace {

[[noreturn]] void Fail(const char* what, unsigned long long expected, unsigned long long got) {
    std::fprintf(stderr, "broken promise: %s: expected %llu, got %llu\n", what, expected, got);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform::pictures;
    const std::span<const std::uint8_t> bytes(data, size);
    const auto info = ReadHeader(bytes);
    if (!info) return 0;

    // The format is the one the file's signature names.
    const Format byMagic = data[0] == 0xFF   ? Format::Jpeg
                           : data[0] == 0x89 ? Format::Png
                           : data[0] == 'G'  ? Format::Gif
                                             : Format::Bmp;
    if (info->format != byMagic)
        Fail("format by the signature", static_cast<unsigned>(byMagic),
             static_cast<unsigned>(info->format));

    if (WithinBudget(*info)) {
        if (info->width < 1 || info->width > kMaxSide)
            Fail("width within budget", kMaxSide, info->width);
        if (info->height < 1 || info->height > kMaxSide)
            Fail("height within budget", kMaxSide, info->height);
        const std::uint64_t pixels = std::uint64_t{info->width} * info->height;
        if (pixels > kMaxPixels) Fail("pixels within budget", kMaxPixels, pixels);
    }

    // The reader looks at the file from its start and stops at the size: a copy one byte
    // shorter gives the same size or none at all.
    if (size > 1) {
        const auto shorter = ReadHeader(bytes.first(size - 1));
        if (shorter && (shorter->width != info->width || shorter->height != info->height))
            Fail("same width from a shorter copy", info->width, shorter->width);
    }
    return 0;
}

// Fuzz target: the orientation reader (a JPEG's Exif block, a TIFF's first IFD). The input's
// first byte picks how the rest is read: as a file, or as the TIFF structure of an Exif block
// that this target wraps into a JPEG. Besides the sanitizers' checks: the value is 1 to 8, a
// file that is neither JPEG nor TIFF is upright, and a TIFF structure reads the same as a
// TIFF file and inside a JPEG's Exif block.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "imaging/decoding/picture_orientation.hpp"

namespace {

[[noreturn]] void Fail(const char* what, unsigned expected, unsigned got) {
    std::fprintf(stderr, "broken promise: %s: expected %u, got %u\n", what, expected, got);
    std::abort();
}

bool IsTiff(std::span<const std::uint8_t> b) {
    return b.size() >= 4 &&
           (std::memcmp(b.data(), "II*\0", 4) == 0 || std::memcmp(b.data(), "MM\0*", 4) == 0);
}

unsigned Checked(std::span<const std::uint8_t> b) {
    const unsigned o = platform::pictures::ReadOrientation(b);
    if (o < 1 || o > 8) Fail("a value from 1 to 8", 1, o);
    const bool jpeg = b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8;
    if (!jpeg && !IsTiff(b) && o != 1) Fail("upright when neither JPEG nor TIFF", 1, o);
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    if ((data[0] & 1) == 0) {
        Checked(rest);
        return 0;
    }
    // SOI, APP1 with its length, "Exif\0\0", the structure, then a frame marker.
    if (rest.size() > 0xFFFF - 8) return 0;
    const std::size_t length = rest.size() + 8;
    std::vector<std::uint8_t> jpeg = {0xFF,
                                      0xD8,
                                      0xFF,
                                      0xE1,
                                      static_cast<std::uint8_t>(length >> 8),
                                      static_cast<std::uint8_t>(length),
                                      'E',
                                      'x',
                                      'i',
                                      'f',
                                      0,
                                      0};
    jpeg.insert(jpeg.end(), rest.begin(), rest.end());
    jpeg.insert(jpeg.end(), {0xFF, 0xC0, 0x00, 0x11});
    const unsigned inJpeg = Checked(jpeg);
    const unsigned asFile = IsTiff(rest) ? Checked(rest) : 1;
    if (inJpeg != asFile) Fail("the same in a JPEG as in a TIFF file", asFile, inJpeg);
    return 0;
}

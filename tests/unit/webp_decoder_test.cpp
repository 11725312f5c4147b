// The libwebp decoder's rules: the size a still is decoded at, and the orientation of an EXIF
// chunk.
#include "imaging/decoding/webp_decoder.hpp"

#include <gtest/gtest.h>

#include "tests/common/picture_bytes.hpp"

namespace {

using platform::PixelSize;
using platform::webp::Scaled;

TEST(WebPScale, IsTheSmallestSizeThatGivesTheMinimumOnBothAxes) {
    const struct {
        std::uint32_t width, height;
        PixelSize minimum;
        Scaled scaled;
    } cases[] = {
        {4032, 3024, {195, 146}, {195, 147}},  // the height rounds up
        {4032, 3024, {195, 147}, {196, 147}},  // the height asks more
        {3024, 4032, {108, 144}, {108, 144}},  // a portrait
        {6000, 4000, {295.5, 0}, {296, 197}},  // a fraction of a pixel rounds up
        {300, 200, {295, 198}, {297, 198}},    // shrunk a little
        {300, 200, {400, 100}, {300, 200}},    // smaller than asked: the whole picture
        {300, 200, {300, 200}, {300, 200}},    // exactly as asked
        {10000, 1, {20, 0}, {20, 1}},          // never below one pixel
        {6000, 4000, {0, 0}, {1, 1}},          // nothing asked
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::webp::ScaledSize(c.width, c.height, c.minimum), c.scaled)
            << c.width << "x" << c.height << " for " << c.minimum.width << "x" << c.minimum.height;
}

TEST(WebPExifChunk, GivesTheOrientationOfItsStructureWithOrWithoutExifFirst) {
    using picture_bytes::Bytes;
    const Bytes structure = picture_bytes::Tiff().Orientation(6).Structure();
    Bytes prefixed = {'E', 'x', 'i', 'f', 0, 0};
    picture_bytes::Append(prefixed, structure);
    const struct {
        const char* what;
        Bytes chunk;
        platform::pictures::Orientation orientation;
    } cases[] = {
        {"the TIFF structure alone", structure, 6},
        {"after Exif\\0\\0", prefixed, 6},
        {"big-endian", picture_bytes::Tiff(true).Orientation(8).Structure(), 8},
        {"cut inside its IFD", Bytes(structure.begin(), structure.begin() + 12), 1},
        {"empty", {}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::webp::ChunkOrientation(c.chunk), c.orientation) << c.what;
}

}  // namespace

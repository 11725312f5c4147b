// The libwebp decoder on files libwebp writes here: the size a still is decoded at, the
// premultiplied rows of a lossless file with alpha, a lossy file shrunk while decoding, the
// orientation of an Exif chunk, and files cut short.
#include "imaging/decoding/webp_decoder.hpp"

#include <gtest/gtest.h>
#include <webp/encode.h>

#include <cstdlib>
#include <vector>

#include "tests/common/gathered_rows.hpp"
#include "tests/common/picture_bytes.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::PixelSize;
using platform::webp::Decoder;
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

Bytes Owned(std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, data + size);
    WebPFree(data);
    return bytes;
}

// w x h pixels of one colour, red, green, blue and alpha.
std::vector<std::uint8_t> Solid(int w, int h, std::vector<std::uint8_t> rgba) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < w * h; ++i) pixels.insert(pixels.end(), rgba.begin(), rgba.end());
    return pixels;
}

Bytes Lossless(int w, int h, const std::vector<std::uint8_t>& rgba) {
    std::uint8_t* out = nullptr;
    const std::size_t size = WebPEncodeLosslessRGBA(rgba.data(), w, h, w * 4, &out);
    return Owned(out, size);
}

Bytes Lossy(int w, int h, const std::vector<std::uint8_t>& rgba) {
    std::uint8_t* out = nullptr;
    const std::size_t size = WebPEncodeRGBA(rgba.data(), w, h, w * 4, 90, &out);
    return Owned(out, size);
}

bool Decode(const Bytes& file, const PixelSize& minimum, test_rows::Gathered& out) {
    Decoder decoder(file);
    return decoder.ReadHeader() && decoder.ReadRows(minimum, out);
}

TEST(WebPDecoder, GivesALosslessFileWithAlphaPremultiplied) {
    test_rows::Gathered got;
    ASSERT_TRUE(Decode(Lossless(6, 4, Solid(6, 4, {200, 100, 50, 128})), {6, 4}, got));
    ASSERT_EQ(got.width, 6);
    ASSERT_EQ(got.height, 4);
    ASSERT_EQ(got.pixels.size(), 24u);
    const std::uint32_t p = got.At(5, 3);
    EXPECT_EQ(p >> 24, 128u);
    EXPECT_NEAR(static_cast<int>(p >> 16 & 255), 100, 1);
    EXPECT_NEAR(static_cast<int>(p >> 8 & 255), 50, 1);
    EXPECT_NEAR(static_cast<int>(p & 255), 25, 1);
}

TEST(WebPDecoder, ShrinksALossyStillWhileDecoding) {
    test_rows::Gathered got;
    ASSERT_TRUE(Decode(Lossy(600, 400, Solid(600, 400, {40, 160, 220, 255})), {150, 50}, got));
    EXPECT_EQ(got.width, 150);
    EXPECT_EQ(got.height, 100);
    ASSERT_EQ(got.pixels.size(), 150u * 100u);
    const std::uint32_t p = got.At(75, 50);
    EXPECT_EQ(p >> 24, 255u);
    EXPECT_NEAR(static_cast<int>(p >> 16 & 255), 40, 4);
    EXPECT_NEAR(static_cast<int>(p >> 8 & 255), 160, 4);
    EXPECT_NEAR(static_cast<int>(p & 255), 220, 4);
}

// The lossless file as an extended one with an Exif chunk (`prefix` before its TIFF
// structure) recording the orientation.
Bytes WithExif(const Bytes& simple, int w, int h, std::uint16_t orientation, bool prefix) {
    using namespace picture_bytes;
    Bytes chunks = {'V', 'P', '8', 'X'};
    Le32(chunks, 10);
    chunks.insert(chunks.end(), {0x08, 0, 0, 0});  // the Exif flag
    for (const int side : {w - 1, h - 1})
        chunks.insert(chunks.end(),
                      {static_cast<std::uint8_t>(side), static_cast<std::uint8_t>(side >> 8), 0});
    chunks.insert(chunks.end(), simple.begin() + 12, simple.end());
    Bytes exif;
    if (prefix) exif = {'E', 'x', 'i', 'f', 0, 0};
    Append(exif, Tiff().Orientation(orientation).Structure());
    chunks.insert(chunks.end(), {'E', 'X', 'I', 'F'});
    Le32(chunks, static_cast<std::uint32_t>(exif.size()));
    Append(chunks, exif);
    Bytes file = {'R', 'I', 'F', 'F'};
    Le32(file, static_cast<std::uint32_t>(4 + chunks.size()));
    file.insert(file.end(), {'W', 'E', 'B', 'P'});
    Append(file, chunks);
    return file;
}

TEST(WebPDecoder, ReadsTheOrientationOfItsExifChunk) {
    const Bytes simple = Lossless(6, 4, Solid(6, 4, {1, 2, 3, 255}));
    for (const bool prefix : {false, true}) {
        Decoder decoder(WithExif(simple, 6, 4, 6, prefix));
        ASSERT_TRUE(decoder.ReadHeader()) << decoder.Problem();
        EXPECT_EQ(decoder.RecordedOrientation(), 6) << "prefix " << prefix;
        test_rows::Gathered got;
        ASSERT_TRUE(decoder.ReadRows({}, got));
        EXPECT_EQ(got.orientation, 6);
    }
}

TEST(WebPDecoder, FailsAFileCutShort) {
    for (const Bytes& whole : {Lossy(64, 48, Solid(64, 48, {9, 9, 9, 255})),
                               Lossless(64, 48, Solid(64, 48, {9, 9, 9, 100}))}) {
        Decoder decoder(Bytes(whole.begin(), whole.begin() + whole.size() / 2));
        test_rows::Gathered got;
        EXPECT_FALSE(decoder.ReadHeader() && decoder.ReadRows({}, got));
        EXPECT_FALSE(decoder.Problem().empty());
        EXPECT_TRUE(got.pixels.empty());
    }
}

}  // namespace

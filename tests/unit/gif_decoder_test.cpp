// The giflib decoder on GIFs giflib writes here: the first image on its logical screen, the
// transparent index, interlaced rows, the greys of a GIF without colours, and broken files.
#include "imaging/decoding/gif_decoder.hpp"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/common/gathered_rows.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::gif::Decoder;

TEST(GifPalette, GivesEachIndexItsColourOrItsGrey) {
    const Bytes two = {10, 20, 30, 200, 100, 50};
    const struct {
        const char* what;
        Bytes colours;
        int transparent, index;
        std::uint32_t expected;
    } cases[] = {
        {"an entry of the table", two, -1, 1, 0xFFC86432},
        {"the first entry", two, -1, 0, 0xFF0A141E},
        {"beyond the table: black", two, -1, 2, 0xFF000000},
        {"the transparent index", two, 1, 1, 0},
        {"a transparent index beyond the table", two, 7, 7, 0},
        {"no table: the grey of the index", {}, -1, 77, 0xFF4D4D4D},
        {"no table, the last index", {}, -1, 255, 0xFFFFFFFF},
        {"no table, transparent", {}, 77, 77, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::gif::Palette(c.colours, c.transparent)[c.index], c.expected) << c.what;
}

TEST(GifInterlace, GivesTheRowsInTheFourPassesOrder) {
    EXPECT_EQ(platform::gif::InterlacedOrder(10),
              (std::vector<std::uint32_t>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
    EXPECT_EQ(platform::gif::InterlacedOrder(1), (std::vector<std::uint32_t>{0}));
}

// --- files written by giflib ---------------------------------------------------------------

int Collect(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

struct Image {
    int left, top, width, height;
    bool interlaced = false;
    int transparent = -1;
};

// A GIF of a screen and one image whose pixel (x, y) is index (x + 2y) % 4, in the colours
// red, green, blue and white; without colours: the same with the colour table taken out.
Bytes Write(int screenWidth, int screenHeight, const Image& image, bool colours = true) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Collect, &error);
    GifColorType table[256] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(256, table);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, map);
    if (image.transparent >= 0) {
        GraphicsControlBlock control{};
        control.TransparentColor = image.transparent;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    }
    EGifPutImageDesc(gif, image.left, image.top, image.width, image.height, image.interlaced,
                     nullptr);
    const std::vector<std::uint32_t> order =
        platform::gif::InterlacedOrder(static_cast<std::uint32_t>(image.height));
    std::vector<GifPixelType> line(static_cast<std::size_t>(image.width));
    for (int i = 0; i < image.height; ++i) {
        const int y = image.interlaced ? static_cast<int>(order[static_cast<std::size_t>(i)]) : i;
        for (int x = 0; x < image.width; ++x)
            line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>((x + 2 * y) % 4);
        EGifPutLine(gif, line.data(), image.width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    if (!colours) {
        out[10] &= 0x7F;  // the screen descriptor's flag of a global colour table
        out.erase(out.begin() + 13, out.begin() + 13 + 3 * 256);
    }
    return out;
}

bool Decode(const Bytes& file, test_rows::Gathered& out) {
    Decoder decoder(file);
    return decoder.ReadHeader() && decoder.ReadRows({}, out);
}

constexpr std::uint32_t kColours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};

TEST(GifDecoder, PlacesTheFirstImageOnItsScreen) {
    const struct {
        const char* what;
        Image image;
    } cases[] = {
        {"at an offset, the rest transparent", {3, 2, 4, 3}},
        {"interlaced", {1, 1, 5, 10, true}},
        {"beyond the screen's right and bottom edges: cut off", {6, 4, 9, 9}},
        {"its index 2 transparent", {0, 0, 8, 6, false, 2}},
    };
    for (const auto& c : cases) {
        test_rows::Gathered got;
        ASSERT_TRUE(Decode(Write(8, 6, c.image), got)) << c.what;
        ASSERT_EQ(got.width, 8) << c.what;
        ASSERT_EQ(got.height, 6) << c.what;
        const Image& i = c.image;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool inside =
                    x >= i.left && x < i.left + i.width && y >= i.top && y < i.top + i.height;
                const int index = (x - i.left + 2 * (y - i.top)) % 4;
                const std::uint32_t want = !inside || index == i.transparent ? 0 : kColours[index];
                ASSERT_EQ(got.At(x, y), want) << c.what << " at " << x << "," << y;
            }
    }
}

TEST(GifDecoder, ShowsAGifWithoutColoursInGreys) {
    test_rows::Gathered got;
    ASSERT_TRUE(Decode(Write(4, 2, {0, 0, 4, 2}, false), got));
    EXPECT_EQ(got.At(1, 0), 0xFF010101u);
    EXPECT_EQ(got.At(3, 1), 0xFF010101u);  // (3 + 2) % 4
    EXPECT_EQ(got.At(2, 1), 0xFF000000u);
}

TEST(GifDecoder, FailsAFileCutShortOrWithoutAnImage) {
    const Bytes whole = Write(40, 30, {0, 0, 40, 30});
    Bytes empty(whole.begin(), whole.begin() + 13 + 3 * 256);
    empty.push_back(0x3B);  // the trailer
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"cut in the image's data", Bytes(whole.begin(), whole.end() - 40)},
        {"cut in its screen descriptor", Bytes(whole.begin(), whole.begin() + 9)},
        {"no image before its end", empty},
    };
    for (const auto& c : cases) {
        test_rows::Gathered got;
        Decoder decoder(c.file);
        EXPECT_FALSE(decoder.ReadHeader() && decoder.ReadRows({}, got)) << c.what;
        EXPECT_FALSE(decoder.Problem().empty()) << c.what;
    }
}

}  // namespace

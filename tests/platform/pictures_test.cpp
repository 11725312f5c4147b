// Picture files: JPEG, PNG, GIF, BMP, TIFF and icon files made by the test itself open at their
// natural size (an icon at its largest image's, a turned JPEG at its size as displayed) and
// stream row by row as stored, transparent parts premultiplied, a JPEG shrunk while decoding
// to the eighth asked for; files that cannot be loaded do not open or do not stream whole.
#include <windows.h>
// After <windows.h>, whose types it uses.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/pictures.hpp"
#include "platform/win32/decoding/picture_source.hpp"
#include "platform/win32/decoding/wic_factory.hpp"
#include "platform/win32/scoped.hpp"
#include "test_support.hpp"
#include "tests/common/picture_bytes.hpp"

namespace {

using platform::win32::ComPtr;
using vistrelle_test::TempDir;
using vistrelle_test::U16Path;
namespace pictures = platform::pictures;

// The picture file a test opened last; letting it go lets the file go.
std::unique_ptr<pictures::PictureFile> g_file;

bool LoadFile(const std::filesystem::path& file) {
    g_file = pictures::Open(U16Path(file));
    return g_file != nullptr;
}

std::optional<platform::PixelSize> NaturalSize() {
    if (!g_file) return std::nullopt;
    return g_file->NaturalSize();
}

// Rows at the natural size: no decoder shrinks a picture asked for all of its pixels.
bool ReadAll(pictures::RowSink& sink) {
    return g_file && g_file->ReadRows(g_file->NaturalSize(), sink);
}

// Gathers the rows the holder streams into a bitmap, and checks they come as Begin announced.
class Gather final : public pictures::RowSink {
  public:
    bool Begin(std::int32_t width, std::int32_t height, pictures::Orientation o) override {
        ++begins;
        orientation = o;
        bitmap = pictures::Bitmap{width, height, {}};
        bitmap.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        return true;
    }
    void Row(std::span<const std::uint32_t> row) override {
        ++rows;
        if (row.size() != static_cast<std::size_t>(bitmap.width)) ++wrongRows;
        bitmap.pixels.insert(bitmap.pixels.end(), row.begin(), row.end());
    }
    int begins = 0, rows = 0, wrongRows = 0;
    pictures::Orientation orientation = 0;
    pictures::Bitmap bitmap;
};

// The picture the file opened last streams at its natural size, or empty when it streams none.
std::optional<pictures::Bitmap> HeldPixels() {
    Gather gather;
    if (!ReadAll(gather)) return std::nullopt;
    EXPECT_EQ(gather.begins, 1) << "Begin is called once before the rows";
    EXPECT_EQ(gather.rows, gather.bitmap.height) << "one row for each row Begin announced";
    EXPECT_EQ(gather.wrongRows, 0) << "rows as wide as Begin announced";
    return std::move(gather.bitmap);
}

// The colour of pixel (x, y) of every test picture, 0x00RRGGBB: a few distinct colours that
// survive a palette of four entries.
std::uint32_t ColourAt(int x, int y) {
    static const std::uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    return colours[(x + 2 * y) % 4];
}

// Whether the bitmap is width x height pixels of the test colours, opaque.
void ExpectTestColours(const std::optional<pictures::Bitmap>& bitmap, int width, int height) {
    ASSERT_TRUE(bitmap.has_value());
    ASSERT_EQ(bitmap->width, width);
    ASSERT_EQ(bitmap->height, height);
    ASSERT_EQ(bitmap->pixels.size(), static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(bitmap->pixels[static_cast<std::size_t>(y * width + x)],
                      0xFF000000u | ColourAt(x, y))
                << "pixel (" << x << "," << y << ")";
}

// A 24-bit BMP of the test colours.
std::string MakeBmp(int width, int height) {
    return picture_bytes::AsString(picture_bytes::Bmp24(width, height, ColourAt));
}

// A file written by one of WIC's encoders, or empty when the encoder is missing. PNG pixels
// take their alpha from `alpha` when it is given, else they are opaque.
std::string Encode(const GUID& container, int width, int height,
                   const std::function<std::uint8_t(int, int)>& alpha = nullptr) {
    ComPtr<IWICImagingFactory> factory = platform::win32::WicFactory();
    if (!factory) return {};
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()))) return {};
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (FAILED(factory->CreateEncoder(container, nullptr, encoder.Out())) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.Out(), options.Out())) ||
        FAILED(frame->Initialize(options.Get())) ||
        FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))))
        return {};

    const bool gif = IsEqualGUID(container, GUID_ContainerFormatGif);
    const bool jpeg = IsEqualGUID(container, GUID_ContainerFormatJpeg);
    WICPixelFormatGUID format = gif    ? GUID_WICPixelFormat8bppIndexed
                                : jpeg ? GUID_WICPixelFormat24bppBGR
                                       : GUID_WICPixelFormat32bppBGRA;
    if (FAILED(frame->SetPixelFormat(&format))) return {};
    const int bytesPerPixel = gif ? 1 : jpeg ? 3 : 4;
    std::vector<BYTE> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = ColourAt(x, y);
            if (gif) {
                pixels.push_back(static_cast<BYTE>((x + 2 * y) % 4));
                continue;
            }
            pixels.push_back(static_cast<BYTE>(c & 0xFF));
            pixels.push_back(static_cast<BYTE>((c >> 8) & 0xFF));
            pixels.push_back(static_cast<BYTE>((c >> 16) & 0xFF));
            if (!jpeg) pixels.push_back(alpha ? alpha(x, y) : 0xFF);
        }
    }
    if (gif) {
        ComPtr<IWICPalette> palette;
        WICColor colours[4];
        for (int i = 0; i < 4; ++i) colours[i] = 0xFF000000u | ColourAt(i, 0);
        if (FAILED(factory->CreatePalette(palette.Out())) ||
            FAILED(palette->InitializeCustom(colours, 4)) ||
            FAILED(frame->SetPalette(palette.Get())))
            return {};
    }
    const UINT stride = static_cast<UINT>(width * bytesPerPixel);
    if (FAILED(frame->WritePixels(static_cast<UINT>(height), stride,
                                  static_cast<UINT>(pixels.size()), pixels.data())) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit()))
        return {};

    HGLOBAL memory = nullptr;
    if (FAILED(::GetHGlobalFromStream(stream.Get(), &memory))) return {};
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    const void* data = ::GlobalLock(memory);
    std::string bytes(static_cast<const char*>(data),
                      static_cast<std::size_t>(stat.cbSize.QuadPart));
    ::GlobalUnlock(memory);
    return bytes;
}

struct PictureCase {
    const char* name;
    std::function<std::string(int, int)> make;
    bool lossless;
};

const PictureCase kCases[] = {
    {"bmp", MakeBmp, true},
    {"png", [](int w, int h) { return Encode(GUID_ContainerFormatPng, w, h); }, true},
    {"gif", [](int w, int h) { return Encode(GUID_ContainerFormatGif, w, h); }, true},
    {"jpeg", [](int w, int h) { return Encode(GUID_ContainerFormatJpeg, w, h); }, false},
    {"tiff", [](int w, int h) { return Encode(GUID_ContainerFormatTiff, w, h); }, true},
};

void PrintTo(const PictureCase& c, std::ostream* out) {
    *out << c.name;
}

class PictureFormats : public testing::TestWithParam<PictureCase> {};

// Odd sides, so that row padding and orientation mistakes show, and taller than several strips
// and not a multiple of a strip, so that a row lost, repeated or misplaced at a strip boundary
// shows.
TEST_P(PictureFormats, LoadsAtNaturalSizeAndStreamsTheRowsInOrder) {
    const PictureCase& c = GetParam();
    TempDir dir;
    const int width = 13, height = 3 * 64 + 7;
    const std::string bytes = c.make(width, height);
    ASSERT_FALSE(bytes.empty()) << "could not make the " << c.name << " file";
    ASSERT_TRUE(LoadFile(dir.Write(L"picture", bytes)));
    EXPECT_EQ(NaturalSize(), (platform::PixelSize{width, height}));
    const std::optional<pictures::Bitmap> bitmap = HeldPixels();
    g_file.reset();
    if (c.lossless) {
        ExpectTestColours(bitmap, width, height);
    } else {
        ASSERT_TRUE(bitmap.has_value());
        EXPECT_EQ(bitmap->pixels.size(), static_cast<std::size_t>(width * height));
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureFormats, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PictureCase>& info) {
                             return std::string(info.param.name);
                         });

std::string MakeIcon(const std::vector<std::pair<int, int>>& sizes);

// The bad file cannot be loaded: it does not open, or its rows do not all come.
void ExpectCannotLoad(const std::filesystem::path& bad) {
    if (LoadFile(bad)) {
        EXPECT_EQ(HeldPixels(), std::nullopt) << "opened, yet decoded whole";
    }
    g_file.reset();
}

TEST(Pictures, UnloadableFilesCannotBeLoaded) {
    TempDir dir;
    const std::string png = Encode(GUID_ContainerFormatPng, 40, 30);
    const std::string bmp = MakeBmp(40, 30);
    const std::string tiff = Encode(GUID_ContainerFormatTiff, 40, 30);
    ASSERT_FALSE(png.empty() || tiff.empty());
    const std::string icon = MakeIcon({{40, 30}});
    std::string huge = MakeBmp(2, 2);
    // The header now claims 70000 x 70000 pixels, beyond the decoding budget.
    for (const std::size_t at : {18u, 22u}) huge.replace(at, 3, "\x70\x11\x01");
    const struct {
        const char* name;
        std::filesystem::path path;
    } bad[] = {
        {"png cut in its pixel data", dir.Write(L"cut1", png.substr(0, png.size() / 2))},
        {"png cut in its header", dir.Write(L"cut2", png.substr(0, 20))},
        {"bmp cut in its pixel data", dir.Write(L"cut3", bmp.substr(0, bmp.size() / 2))},
        {"tiff cut in half", dir.Write(L"cut4", tiff.substr(0, tiff.size() / 2))},
        {"icon cut in its image", dir.Write(L"cut5", icon.substr(0, icon.size() / 2))},
        {"empty file", dir.Write(L"cut6", "")},
        {"a folder", dir.Path()},
        {"a missing file", dir.Path() / L"missing.jpg"},
        {"a text file", dir.Write(L"notes.jpg", "not a picture at all")},
        {"a header beyond the budget", dir.Write(L"huge.bmp", huge)},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.name);
        ExpectCannotLoad(b.path);
    }
}

TEST(Pictures, TransparentPartsStreamPremultipliedSoTheyShowBlack) {
    TempDir dir;
    // Column 0 transparent, column 1 half transparent, column 2 opaque.
    const std::uint8_t alphas[] = {0, 128, 255};
    const std::string png =
        Encode(GUID_ContainerFormatPng, 3, 2, [&](int x, int) { return alphas[x]; });
    ASSERT_FALSE(png.empty());
    ASSERT_TRUE(LoadFile(dir.Write(L"alpha.png", png)));
    const auto bitmap = HeldPixels();
    g_file.reset();
    ASSERT_TRUE(bitmap.has_value());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint32_t c = ColourAt(x, y);
            const std::uint32_t a = alphas[x];
            const auto mul = [a](std::uint32_t v) { return (v * a + 127) / 255; };
            const std::uint32_t expected =
                a << 24 | mul((c >> 16) & 0xFF) << 16 | mul((c >> 8) & 0xFF) << 8 | mul(c & 0xFF);
            const std::uint32_t got = bitmap->pixels[static_cast<std::size_t>(y * 3 + x)];
            // Premultiplying may round either way by one.
            for (int shift : {0, 8, 16, 24})
                EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF),
                            static_cast<int>((expected >> shift) & 0xFF), 1)
                    << "pixel (" << x << "," << y << ") channel at bit " << shift << ": expected "
                    << std::hex << expected << ", got " << got;
        }
}

// An icon file of PNG images, in the order given.
std::string MakeIcon(const std::vector<std::pair<int, int>>& sizes) {
    picture_bytes::Icon icon;
    for (const auto& [w, h] : sizes) {
        const std::string png = Encode(GUID_ContainerFormatPng, w, h);
        icon.RawImage(picture_bytes::Bytes(png.begin(), png.end()), static_cast<std::uint8_t>(w),
                      static_cast<std::uint8_t>(h));
    }
    return picture_bytes::AsString(icon.Build().bytes);
}

TEST(Pictures, AnIconLoadsItsLargestImage) {
    TempDir dir;
    const std::string icon = MakeIcon({{4, 4}, {13, 7}, {6, 6}});
    ASSERT_TRUE(LoadFile(dir.Write(L"icon.ico", icon)));
    EXPECT_EQ(NaturalSize(), (platform::PixelSize{13, 7}));
    ExpectTestColours(HeldPixels(), 13, 7);
}

// An Exif block recording the orientation, little-endian, put after a JPEG's start marker.
std::string WithOrientation(const std::string& jpeg, std::uint32_t orientation) {
    using namespace picture_bytes;
    const Bytes start = Jpeg().Exif(Tiff().Orientation(orientation).Structure()).Build().bytes;
    return AsString(start) + jpeg.substr(2);
}

TEST(Pictures, TheOrientationTurnsTheSizeAndComesWithTheStoredRows) {
    TempDir dir;
    const std::string jpeg = Encode(GUID_ContainerFormatJpeg, 13, 7);
    ASSERT_FALSE(jpeg.empty());
    for (std::uint32_t o : {1u, 3u, 6u, 8u, 9u}) {
        SCOPED_TRACE("orientation " + std::to_string(o));
        // A file each: an opened file is shut to writers until its rows have come.
        const std::wstring name = L"turned" + std::to_wstring(o) + L".jpg";
        ASSERT_TRUE(LoadFile(dir.Write(name, WithOrientation(jpeg, o))));
        const bool quarter = o == 6 || o == 8;
        EXPECT_EQ(NaturalSize(),
                  quarter ? (platform::PixelSize{7, 13}) : (platform::PixelSize{13, 7}));
        Gather gather;
        ASSERT_TRUE(ReadAll(gather));
        // The rows as stored; a value outside 1..8 counts as upright.
        EXPECT_EQ(gather.bitmap.width, 13);
        EXPECT_EQ(gather.bitmap.height, 7);
        EXPECT_EQ(gather.orientation, o == 9 ? 1u : o);
    }
    // A file without the block is upright.
    ASSERT_TRUE(LoadFile(dir.Write(L"plain.jpg", jpeg)));
    Gather gather;
    ASSERT_TRUE(ReadAll(gather));
    EXPECT_EQ(gather.orientation, 1u);
}

// An uncompressed 32-bit DDS file, written byte by byte.
std::string MakeDds(int width, int height) {
    using picture_bytes::Le32;
    picture_bytes::Bytes b = {'D', 'D', 'S', ' '};
    Le32(b, 124);
    Le32(b, 0x100F);  // caps, height, width, pixel format
    Le32(b, static_cast<std::uint32_t>(height));
    Le32(b, static_cast<std::uint32_t>(width));
    Le32(b, static_cast<std::uint32_t>(width * 4));
    for (int i = 0; i < 13; ++i) Le32(b, 0);       // depth, mipmaps, reserved
    for (std::uint32_t v : {32u, 0x41u, 0u, 32u})  // size, RGB with alpha, no FourCC, bits
        Le32(b, v);
    for (std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Le32(b, mask);
    Le32(b, 0x1000);  // a texture
    for (int i = 0; i < 4; ++i) Le32(b, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) Le32(b, 0xFF000000u | ColourAt(x, y));
    return picture_bytes::AsString(b);
}

TEST(Pictures, AFormatThisProgramDoesNotReadLoadsThroughItsDecoderWithinTheBudget) {
    // DDS: no header reader here knows it, so the size its decoder reports is checked.
    TempDir dir;
    const std::string dds = MakeDds(8, 4);
    ASSERT_TRUE(LoadFile(dir.Write(L"picture.dds", dds))) << "a system decoder takes DDS";
    EXPECT_EQ(NaturalSize(), (platform::PixelSize{8, 4}));
    const auto bitmap = HeldPixels();
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->width, 8);

    // The same file claiming a width beyond the budget's longest side (height at byte 12,
    // width at 16) is refused, by the budget or by its decoder, and changes nothing.
    std::string wide = dds;
    wide[16] = static_cast<char>(0x70);
    wide[17] = static_cast<char>(0x11);
    wide[18] = 0x01;
    ExpectCannotLoad(dir.Write(L"wide.dds", wide));
}

TEST(Pictures, AJpegIsShrunkWhileDecodingToTheEighthThatGivesThePixelsAsked) {
    TempDir dir;
    const std::string jpeg = Encode(GUID_ContainerFormatJpeg, 160, 120);
    ASSERT_FALSE(jpeg.empty());
    const struct {
        platform::PixelSize minimum;
        std::int32_t width, height;
    } table[] = {
        {{20, 15}, 20, 15}, {{21, 15}, 40, 30}, {{100, 60}, 100, 75}, {{400, 300}, 160, 120}};
    for (const auto& c : table) {
        ASSERT_TRUE(LoadFile(dir.Write(L"reduce.jpg", jpeg)));
        Gather gather;
        ASSERT_TRUE(g_file->ReadRows(c.minimum, gather)) << c.minimum.width;
        EXPECT_EQ(gather.bitmap.width, c.width);
        EXPECT_EQ(gather.bitmap.height, c.height);
        EXPECT_EQ(gather.rows, gather.bitmap.height);
        EXPECT_EQ(gather.wrongRows, 0);
        g_file.reset();
    }
}

TEST(Pictures, ASinkThatRefusesTheSizeGetsNoRows) {
    class Refuse final : public pictures::RowSink {
      public:
        bool Begin(std::int32_t, std::int32_t, pictures::Orientation) override { return false; }
        void Row(std::span<const std::uint32_t>) override { ++rows; }
        int rows = 0;
    } refuse;
    TempDir dir;
    ASSERT_TRUE(LoadFile(dir.Write(L"r.bmp", MakeBmp(4, 4))));
    EXPECT_FALSE(ReadAll(refuse));
    EXPECT_EQ(refuse.rows, 0);
    g_file.reset();
}

// Under a name outside the code page too.
TEST(Pictures, TheFileIsLetGoOnceItsRowsHaveCome) {
    TempDir dir;
    for (const bool jpeg : {false, true}) {
        const auto file = dir.Write(jpeg ? L"夕阳 & 海.jpg" : L"夕阳 & 海.bmp",
                                    jpeg ? Encode(GUID_ContainerFormatJpeg, 8, 6) : MakeBmp(8, 6));
        ASSERT_TRUE(LoadFile(file));
        EXPECT_EQ(NaturalSize(), (platform::PixelSize{8, 6}));
        ASSERT_TRUE(HeldPixels().has_value());
        EXPECT_TRUE(::DeleteFileW(file.c_str()))
            << "the file is still open after its rows came, error " << ::GetLastError();
        g_file.reset();
    }
}

}  // namespace

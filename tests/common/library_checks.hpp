// The libraries of the field are linked and work, in every build: a JPEG decoded from memory
// by libjpeg-turbo, a colour converted by Little CMS, a zlib stream inflated, a WebP and a GIF
// decoded, and libheif with its HEVC and AV1 decoders (libde265, dav1d) built in. Included by the
// unit tests and by the Win32 platform tests (under Wine); to give way to the tests of the code
// that uses the libraries.
#pragma once

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <lcms2.h>
#include <libheif/heif.h>
#include <webp/decode.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
// After <cstdio>: jpeglib.h uses FILE and size_t without including their headers.
#include <jpeglib.h>

namespace library_checks {

// 3x2 pixels of red 200, green 100, blue 50 (cjpeg -quality 100 -optimize -qslots 0 -sample 1x1).
inline constexpr unsigned char kJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xc0, 0x00, 0x11, 0x08, 0x00, 0x02,
    0x00, 0x03, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x00, 0x03, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x14,
    0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x06, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x01, 0x01, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0xff, 0xc4,
    0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00,
    0x3f, 0x00, 0x3e, 0x2b, 0xcd, 0x83, 0xff, 0xd9,
};

TEST(Libraries, LibjpegDecodesAJpegFromMemory) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, kJpeg, sizeof kJpeg);
    ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
    ASSERT_TRUE(jpeg_start_decompress(&info));
    EXPECT_EQ(info.output_width, 3u);
    EXPECT_EQ(info.output_height, 2u);
    ASSERT_EQ(info.output_components, 3);
    std::vector<JSAMPLE> pixels(3 * 3 * 2);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + 9 * info.output_scanline;
        ASSERT_EQ(jpeg_read_scanlines(&info, &row, 1), 1u);
    }
    const int rgb[] = {200, 100, 50};
    for (std::size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(pixels[i], rgb[i % 3]) << i;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

TEST(Libraries, LittleCmsConvertsSrgbRedToLab) {
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab =
        cmsCreateTransform(srgb, TYPE_RGB_8, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    ASSERT_NE(toLab, nullptr);
    const std::array<unsigned char, 3> red{255, 0, 0};
    cmsCIELab out{};
    cmsDoTransform(toLab, red.data(), &out, 1);
    // sRGB's red seen under D50, as the ICC's connection space sees it.
    EXPECT_NEAR(out.L, 54.29, 0.5);
    EXPECT_NEAR(out.a, 80.80, 0.5);
    EXPECT_NEAR(out.b, 69.89, 0.5);
    cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
}

TEST(Libraries, ZlibInflatesAStream) {
    const std::array<unsigned char, 25> deflated{
        0x78, 0xda, 0x2b, 0x0e, 0x72, 0x77, 0x52, 0xf0, 0x74, 0x75, 0x36, 0x33, 0xb4,
        0x34, 0x33, 0xd3, 0x35, 0xd2, 0x33, 0x04, 0x00, 0x28, 0x60, 0x04, 0x0a};
    std::array<char, 32> text{};
    uLongf length = text.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(text.data()), &length, deflated.data(),
                         deflated.size()),
              Z_OK);
    EXPECT_EQ(std::string(text.data(), length), "sRGB IEC61966-2.1");
}

// 3x2 pixels of red 200, green 100, blue 50, lossless (ImageMagick's WebP writer).
inline constexpr unsigned char kWebp[] = {
    0x52, 0x49, 0x46, 0x46, 0x1e, 0x00, 0x00, 0x00, 0x57, 0x45, 0x42, 0x50, 0x56,
    0x50, 0x38, 0x4c, 0x11, 0x00, 0x00, 0x00, 0x2f, 0x02, 0x40, 0x00, 0x00, 0x07,
    0x50, 0xb2, 0x22, 0x57, 0xa6, 0xff, 0x81, 0x88, 0xe8, 0x7f, 0x00, 0x00};

TEST(Libraries, LibwebpDecodesAWebpFromMemory) {
    int width = 0;
    int height = 0;
    unsigned char* pixels = WebPDecodeRGB(kWebp, sizeof kWebp, &width, &height);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    const int rgb[] = {200, 100, 50};
    for (int i = 0; i < 3 * 3 * 2; ++i) EXPECT_EQ(pixels[i], rgb[i % 3]) << i;
    WebPFree(pixels);
}

// The same 3x2 pixels as a GIF (ImageMagick), one colour in its global table.
inline constexpr unsigned char kGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0xf0, 0x00, 0x00, 0xc8, 0x64,
    0x32, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
    0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x02, 0x02, 0x84, 0x5f, 0x00, 0x3b};

TEST(Libraries, GiflibDecodesAGifFromMemory) {
    struct Source {
        const unsigned char* at;
        std::size_t left;
    } source{kGif, sizeof kGif};
    const InputFunc read = [](GifFileType* gif, GifByteType* into, int wanted) {
        auto* from = static_cast<Source*>(gif->UserData);
        const std::size_t n = std::min(from->left, static_cast<std::size_t>(wanted));
        std::memcpy(into, from->at, n);
        from->at += n;
        from->left -= n;
        return static_cast<int>(n);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    ASSERT_NE(gif, nullptr) << GifErrorString(error);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    EXPECT_EQ(gif->SWidth, 3);
    EXPECT_EQ(gif->SHeight, 2);
    ASSERT_EQ(gif->ImageCount, 1);
    ASSERT_NE(gif->SColorMap, nullptr);
    const GifColorType colour = gif->SColorMap->Colors[gif->SavedImages[0].RasterBits[5]];
    EXPECT_EQ(colour.Red, 200);
    EXPECT_EQ(colour.Green, 100);
    EXPECT_EQ(colour.Blue, 50);
    DGifCloseFile(gif, &error);
}

TEST(Libraries, LibheifDecodesHevcAndAv1) {
    EXPECT_STREQ(heif_get_version(), "1.15.1");
    EXPECT_TRUE(heif_have_decoder_for_format(heif_compression_HEVC));
    EXPECT_TRUE(heif_have_decoder_for_format(heif_compression_AV1));
}

}  // namespace library_checks

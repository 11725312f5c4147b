#include "platform/picture_header.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using platform::pictures::Format;
using platform::pictures::HeaderInfo;
using platform::pictures::kMaxPixels;
using platform::pictures::kMaxSide;
using platform::pictures::ReadHeader;
using platform::pictures::WithinBudget;
using Bytes = std::vector<std::uint8_t>;

// What a reading gave, as text: compared and shown in failures.
std::string Text(const std::optional<HeaderInfo>& info) {
    if (!info) return "none";
    static const char* const kNames[] = {"Jpeg", "Png", "Gif", "Bmp"};
    return std::string(kNames[static_cast<int>(info->format)]) + " " + std::to_string(info->width) +
           "x" + std::to_string(info->height);
}

// --- Building headers -----------------------------------------------------------------------

void Be16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}
void Be32(Bytes& b, std::uint32_t v) {
    Be16(b, v >> 16);
    Be16(b, v & 0xFFFF);
}
void Le16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Le32(Bytes& b, std::uint32_t v) {
    Le16(b, v & 0xFFFF);
    Le16(b, v >> 16);
}
void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

// A header and how many of its bytes a reader needs before it can know the size.
struct Built {
    Bytes bytes;
    std::size_t sizeEnd;  // past the last byte of the size
};

// A JPEG file: SOI, then the segments in the order added.
class Jpeg {
  public:
    Jpeg() : bytes_{0xFF, 0xD8} {}

    // A marker segment with a length field and `payload` bytes of `fill`.
    Jpeg& Segment(std::uint8_t marker, std::size_t payload, std::uint8_t fill = 0x00) {
        bytes_.push_back(0xFF);
        bytes_.push_back(marker);
        Be16(bytes_, static_cast<std::uint32_t>(payload + 2));
        bytes_.insert(bytes_.end(), payload, fill);
        return *this;
    }
    Jpeg& App0() {  // JFIF
        bytes_.insert(bytes_.end(), {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01,
                                     0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00});
        return *this;
    }
    // A frame header (SOF0 by default) of three components.
    Jpeg& Frame(std::uint16_t width, std::uint16_t height, std::uint8_t marker = 0xC0) {
        bytes_.push_back(0xFF);
        bytes_.push_back(marker);
        Be16(bytes_, 17);
        bytes_.push_back(8);
        Be16(bytes_, height);
        Be16(bytes_, width);
        sizeEnd_ = bytes_.size();
        bytes_.insert(bytes_.end(), {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
        return *this;
    }
    Jpeg& Raw(const Bytes& raw) {
        Append(bytes_, raw);
        return *this;
    }
    Jpeg& Tables() {  // DQT and DHT, as a camera writes them before or after the frame
        return Segment(0xDB, 65, 0x01).Segment(0xC4, 28, 0x02);
    }
    Jpeg& ScanAndEnd() { return Segment(0xDA, 10).Raw({0x12, 0x34, 0xFF, 0x00, 0x56, 0xFF, 0xD9}); }

    Built Build() const { return {bytes_, sizeEnd_ ? sizeEnd_ : bytes_.size() + 1}; }

  private:
    Bytes bytes_;
    std::size_t sizeEnd_ = 0;
};

Built Png(std::uint32_t width, std::uint32_t height, std::uint32_t ihdrLength = 13,
          const char* type = "IHDR") {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Be32(b, ihdrLength);
    b.insert(b.end(), type, type + 4);
    Be32(b, width);
    Be32(b, height);
    b.insert(b.end(), {8, 6, 0, 0, 0});           // depth, colour type, methods
    b.insert(b.end(), {0x12, 0x34, 0x56, 0x78});  // CRC (not checked)
    const bool valid = ihdrLength == 13 && std::string(type, 4) == "IHDR";
    return {b, valid ? std::size_t{24} : b.size() + 1};
}

// A GIF: logical screen, then one frame of its own size.
Built Gif(std::uint16_t width, std::uint16_t height, const char* version = "89a",
          std::uint16_t frameWidth = 1, std::uint16_t frameHeight = 1) {
    Bytes b = {'G', 'I', 'F'};
    b.insert(b.end(), version, version + 3);
    Le16(b, width);
    Le16(b, height);
    b.insert(b.end(), {0x00, 0x00, 0x00});  // no global colour table
    b.push_back(0x2C);                      // image descriptor
    Le16(b, 0);
    Le16(b, 0);
    Le16(b, frameWidth);
    Le16(b, frameHeight);
    b.push_back(0x00);
    const bool valid = std::string(version) == "89a" || std::string(version) == "87a";
    return {b, valid ? std::size_t{10} : b.size() + 1};
}

// A BMP with a header of dibSize bytes (40: BITMAPINFOHEADER, 108: V4, 124: V5, 64: OS/2 2.x)
// and signed 32-bit sides.
Built Bmp(std::int32_t width, std::int32_t height, std::uint32_t dibSize = 40, bool valid = true) {
    Bytes b = {'B', 'M'};
    Le32(b, 14 + dibSize + 16);  // file size
    Le32(b, 0);
    Le32(b, 14 + dibSize);  // pixel offset
    Le32(b, dibSize);
    Le32(b, static_cast<std::uint32_t>(width));
    Le32(b, static_cast<std::uint32_t>(height));
    Le16(b, 1);   // planes
    Le16(b, 32);  // bits per pixel
    while (b.size() < 14 + dibSize) b.push_back(0);
    b.insert(b.end(), 16, 0x7F);  // pixels
    return {b, valid ? std::size_t{26} : b.size() + 1};
}

// A BMP with a BITMAPCOREHEADER: unsigned 16-bit sides.
Built BmpCore(std::uint16_t width, std::uint16_t height) {
    Bytes b = {'B', 'M'};
    Le32(b, 14 + 12 + 12);
    Le32(b, 0);
    Le32(b, 14 + 12);
    Le32(b, 12);
    Le16(b, width);
    Le16(b, height);
    Le16(b, 1);
    Le16(b, 24);
    b.insert(b.end(), 12, 0x7F);
    return {b, 22};
}

Built Invalid(Bytes b) {
    return {b, b.size() + 1};
}

// --- The table ----------------------------------------------------------------------------------

struct Case {
    std::string name;
    Built header;
    std::optional<HeaderInfo> expected;
    bool withinBudget;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

HeaderInfo Jpg(std::uint32_t w, std::uint32_t h) {
    return {Format::Jpeg, w, h};
}
HeaderInfo Pn(std::uint32_t w, std::uint32_t h) {
    return {Format::Png, w, h};
}
HeaderInfo Gf(std::uint32_t w, std::uint32_t h) {
    return {Format::Gif, w, h};
}
HeaderInfo Bm(std::uint32_t w, std::uint32_t h) {
    return {Format::Bmp, w, h};
}

std::vector<Case> Cases() {
    constexpr std::nullopt_t kNone = std::nullopt;
    constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
    std::vector<Case> cases = {
        // --- JPEG ---
        {"jpeg_baseline", Jpeg().App0().Tables().Frame(640, 480).Tables().ScanAndEnd().Build(),
         Jpg(640, 480), true},
        {"jpeg_width_and_height_differ_in_order", Jpeg().Frame(3, 70).Build(), Jpg(3, 70), true},
        {"jpeg_exif_app1_60kb_before_frame",
         Jpeg().Segment(0xE1, 60000, 0xFF).App0().Tables().Frame(4000, 3000).ScanAndEnd().Build(),
         Jpg(4000, 3000), true},
        {"jpeg_app1_holding_a_frame_marker",
         Jpeg()
             .Raw({0xFF, 0xE1, 0x00, 0x0D, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0xEA, 0x60, 0xEA, 0x60,
                   0x03, 0x01})
             .Frame(800, 600)
             .Build(),
         Jpg(800, 600), true},
        {"jpeg_fill_bytes_before_markers",
         Jpeg()
             .Raw({0xFF, 0xFF, 0xFF})
             .App0()
             .Raw({0xFF, 0xFF})
             .Tables()
             .Raw({0xFF, 0xFF, 0xFF, 0xFF})
             .Frame(1024, 768)
             .Build(),
         Jpg(1024, 768), true},
        {"jpeg_progressive_sof2",
         Jpeg().App0().Tables().Frame(1600, 1200, 0xC2).ScanAndEnd().Build(), Jpg(1600, 1200),
         true},
        {"jpeg_standalone_markers_before_frame",
         Jpeg().Raw({0xFF, 0x01, 0xFF, 0xD0, 0xFF, 0xD7, 0xFF, 0xD8}).App0().Frame(5, 6).Build(),
         Jpg(5, 6), true},
        {"jpeg_stray_bytes_between_segments_skipped_as_libjpeg_does",
         Jpeg().App0().Raw({0x00, 0x12, 0xFF, 0x00, 0x34}).Frame(7, 8).Build(), Jpg(7, 8), true},
        {"jpeg_dht_dac_and_jpg_are_not_frames",
         Jpeg()
             .Raw({0xFF, 0xC4, 0x00, 0x08, 0x08, 0xEA, 0x60, 0xEA, 0x60, 0x03})
             .Raw({0xFF, 0xCC, 0x00, 0x08, 0x08, 0xEA, 0x60, 0xEA, 0x60, 0x03})
             .Raw({0xFF, 0xC8, 0x00, 0x08, 0x08, 0xEA, 0x60, 0xEA, 0x60, 0x03})
             .Frame(9, 10)
             .Build(),
         Jpg(9, 10), true},
        {"jpeg_60000x60000_read_but_over_budget", Jpeg().App0().Frame(60000, 60000).Build(),
         Jpg(60000, 60000), false},
        {"jpeg_65535x65535_over_budget", Jpeg().Frame(65535, 65535).Build(), Jpg(65535, 65535),
         false},
        {"jpeg_height_0_defined_later_refused", Jpeg().Frame(640, 0).Build(), Jpg(640, 0), false},
        {"jpeg_0x0_refused", Jpeg().Frame(0, 0).Build(), Jpg(0, 0), false},
        {"jpeg_scan_before_frame", Jpeg().App0().ScanAndEnd().Frame(640, 480).Build(), kNone,
         false},
        // A walk that went on past SOS or EOI would find the frame right after them.
        {"jpeg_scan_segment_then_frame", Jpeg().App0().Segment(0xDA, 10).Frame(640, 480).Build(),
         kNone, false},
        {"jpeg_end_before_frame",
         Jpeg().App0().Raw({0xFF, 0xD9, 0x00, 0x02}).Frame(640, 480).Build(), kNone, false},
        {"jpeg_segment_length_1", Jpeg().Raw({0xFF, 0xE0, 0x00, 0x01}).Frame(640, 480).Build(),
         kNone, false},
        {"jpeg_segment_length_0", Jpeg().Raw({0xFF, 0xE0, 0x00, 0x00}).Frame(640, 480).Build(),
         kNone, false},
        {"jpeg_frame_length_7",
         Invalid({0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x07, 0x08, 0x01, 0xE0, 0x02, 0x80, 0x03}), kNone,
         false},
        {"jpeg_segment_longer_than_file", Invalid([] {
             Bytes b = {0xFF, 0xD8, 0xFF, 0xE1, 0xEA, 0x60};
             b.insert(b.end(), 100, 0x00);
             return b;
         }()),
         kNone, false},
        {"jpeg_start_only", Invalid({0xFF, 0xD8}), kNone, false},
        {"jpeg_fill_bytes_to_end", Invalid({0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF}), kNone, false},

        // --- PNG ---
        {"png_normal", Png(800, 600), Pn(800, 600), true},
        {"png_100000x1_over_side_limit", Png(100000, 1), Pn(100000, 1), false},
        {"png_1x100000_over_side_limit", Png(1, 100000), Pn(1, 100000), false},
        {"png_0x0_refused", Png(0, 0), Pn(0, 0), false},
        {"png_0_width_refused", Png(0, 5), Pn(0, 5), false},
        {"png_largest_sides_refused", Png(0xFFFFFFFF, 0xFFFFFFFF), Pn(0xFFFFFFFF, 0xFFFFFFFF),
         false},
        {"png_100_megapixels_within_budget", Png(10000, 10000), Pn(10000, 10000), true},
        {"png_1x1", Png(1, 1), Pn(1, 1), true},
        {"png_65535x1_longest_side", Png(65535, 1), Pn(65535, 1), true},
        {"png_1x65535_longest_side", Png(1, 65535), Pn(1, 65535), true},
        {"png_65536x1_side_too_long", Png(65536, 1), Pn(65536, 1), false},
        {"png_1x65536_side_too_long", Png(1, 65536), Pn(1, 65536), false},
        {"png_16384x8192_exactly_the_pixel_budget", Png(16384, 8192), Pn(16384, 8192), true},
        {"png_8192x16384_exactly_the_pixel_budget", Png(8192, 16384), Pn(8192, 16384), true},
        {"png_16384x8193_one_row_over", Png(16384, 8193), Pn(16384, 8193), false},
        {"png_65535x2048_within", Png(65535, 2048), Pn(65535, 2048), true},
        {"png_65535x2049_over", Png(65535, 2049), Pn(65535, 2049), false},
        {"png_ihdr_length_12", Png(800, 600, 12), kNone, false},
        {"png_ihdr_length_14", Png(800, 600, 14), kNone, false},
        {"png_first_chunk_not_ihdr", Png(800, 600, 13, "IDAT"), kNone, false},
        {"png_bad_signature", Invalid({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B, 0, 0, 0, 13,
                                       'I',  'H', 'D', 'R', 0,    0,    1,    0,    0, 0, 1, 0}),
         kNone, false},

        // --- GIF ---
        {"gif89a", Gif(320, 200), Gf(320, 200), true},
        {"gif87a", Gif(1, 1, "87a"), Gf(1, 1), true},
        {"gif_screen_size_not_frame_size", Gif(400, 300, "89a", 20000, 20000), Gf(400, 300), true},
        {"gif_little_endian_sides", Gif(0x1234, 0x0102), Gf(0x1234, 0x0102), true},
        {"gif_65535x65535_over_budget", Gif(65535, 65535), Gf(65535, 65535), false},
        {"gif_0x0_refused", Gif(0, 0), Gf(0, 0), false},
        {"gif_unknown_version", Gif(320, 200, "88a"), kNone, false},

        // --- BMP ---
        {"bmp_bottom_up", Bmp(1920, 1080), Bm(1920, 1080), true},
        {"bmp_top_down_negative_height", Bmp(1920, -1080), Bm(1920, 1080), true},
        {"bmp_top_down_minus_1", Bmp(3, -1), Bm(3, 1), true},
        {"bmp_core_header", BmpCore(640, 480), Bm(640, 480), true},
        {"bmp_core_header_65535x65535", BmpCore(65535, 65535), Bm(65535, 65535), false},
        {"bmp_core_header_0x0", BmpCore(0, 0), Bm(0, 0), false},
        {"bmp_v4_header", Bmp(800, 600, 108), Bm(800, 600), true},
        {"bmp_v5_header", Bmp(800, -600, 124), Bm(800, 600), true},
        {"bmp_os2_v2_header", Bmp(800, 600, 64), Bm(800, 600), true},
        {"bmp_height_0_refused", Bmp(800, 0), Bm(800, 0), false},
        {"bmp_height_int32_max", Bmp(1, kInt32Max), Bm(1, 2147483647u), false},
        {"bmp_height_int32_min_plus_1", Bmp(1, kInt32Min + 1), Bm(1, 2147483647u), false},
        {"bmp_height_int32_min", Bmp(1, kInt32Min, 40, false), kNone, false},
        {"bmp_width_0", Bmp(0, 600, 40, false), kNone, false},
        {"bmp_width_negative", Bmp(-800, 600, 40, false), kNone, false},
        {"bmp_width_int32_min", Bmp(kInt32Min, 600, 40, false), kNone, false},
        {"bmp_header_size_16", Bmp(800, 600, 16, false), kNone, false},
        {"bmp_header_size_39", Bmp(800, 600, 39, false), kNone, false},
        {"bmp_header_size_0", Bmp(800, 600, 0, false), kNone, false},

        // --- Not a picture this reader knows ---
        {"empty", Invalid({}), kNone, false},
        {"tiff", Invalid({'I', 'I', 0x2A, 0x00, 0x08, 0, 0, 0, 0, 0, 0, 0}), kNone, false},
        {"os2_bitmap_array",
         Invalid({'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0, 0, 0, 1, 0, 1, 0}), kNone,
         false},
        {"text", Invalid({'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}), kNone, false},
    };
    // Every other frame type: SOF1-SOF3, SOF5-SOF7, SOF9-SOF11, SOF13-SOF15.
    for (const std::uint8_t marker :
         {0xC1, 0xC3, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF}) {
        static const char kHex[] = "0123456789ABCDEF";
        std::string name = "jpeg_frame_marker_";
        name += kHex[marker >> 4];
        name += kHex[marker & 0xF];
        cases.push_back({name, Jpeg().App0().Frame(300, 200, marker).Build(), Jpg(300, 200), true});
    }
    return cases;
}

class PictureHeader : public testing::TestWithParam<Case> {};

TEST_P(PictureHeader, ReadsTheSize) {
    const Case& c = GetParam();
    const Bytes copy = c.header.bytes;
    EXPECT_EQ(Text(ReadHeader(copy)), Text(c.expected));
}

// What a caller decides: decode only a size read and within the budget.
TEST_P(PictureHeader, BudgetDecides) {
    const Case& c = GetParam();
    const auto info = ReadHeader(c.header.bytes);
    EXPECT_EQ(info.has_value() && WithinBudget(*info), c.withinBudget);
}

// Every cut of the header: no crash, no size before its last byte was seen, then the size.
TEST_P(PictureHeader, EveryTruncation) {
    const Case& c = GetParam();
    const Bytes& full = c.header.bytes;
    for (std::size_t n = 0; n <= full.size(); ++n) {
        // A buffer of exactly n bytes, so that a sanitizer sees any read past the end.
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        const auto got = ReadHeader(cut);
        if (n < c.header.sizeEnd) {
            ASSERT_EQ(Text(got), "none") << "cut to " << n << " of " << full.size() << " bytes";
        } else {
            ASSERT_EQ(Text(got), Text(c.expected))
                << "cut to " << n << " of " << full.size() << " bytes";
        }
    }
}

// The header with single bytes changed: any answer, but no crash or read past the end.
TEST_P(PictureHeader, SurvivesChangedBytes) {
    const Case& c = GetParam();
    std::mt19937 rng(7);
    const std::size_t size = c.header.bytes.size();
    if (size == 0) return;
    const std::size_t rounds = size > 1000 ? 200 : 2000;
    for (std::size_t i = 0; i < rounds; ++i) {
        Bytes changed = c.header.bytes;
        // Most changes land in the first bytes, where the header is.
        const std::size_t span = std::min<std::size_t>(size, 64);
        for (int k = 0; k < 3; ++k) {
            changed[rng() % span] = static_cast<std::uint8_t>(rng());
        }
        changed.resize(rng() % (size + 1));
        (void)ReadHeader(changed);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PictureHeader, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(PictureHeaderGarbage, RandomBytesAreNoPicture) {
    std::mt19937 rng(20240601);
    for (int i = 0; i < 20000; ++i) {
        Bytes b(rng() % 80);
        for (auto& x : b) x = static_cast<std::uint8_t>(rng());
        // No signature: the first byte starts none of them.
        if (!b.empty() && (b[0] == 0xFF || b[0] == 0x89 || b[0] == 'G' || b[0] == 'B')) b[0] = 0;
        ASSERT_EQ(Text(ReadHeader(b)), "none") << "buffer " << i;
    }
}

TEST(PictureHeaderGarbage, RandomBytesAfterEachSignatureDoNotCrash) {
    const Bytes signatures[] = {{0xFF, 0xD8},
                                {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A},
                                {'G', 'I', 'F', '8', '9', 'a'},
                                {'B', 'M'}};
    std::mt19937 rng(99);
    for (const Bytes& signature : signatures) {
        for (int i = 0; i < 20000; ++i) {
            Bytes b = signature;
            const std::size_t more = rng() % 64;
            for (std::size_t k = 0; k < more; ++k) {
                // Plenty of 0xFF, so that JPEG marker walking is exercised.
                b.push_back(rng() % 4 == 0 ? 0xFF : static_cast<std::uint8_t>(rng()));
            }
            const auto got = ReadHeader(b);
            if (got && signature.size() == 2 && signature[0] == 0xFF) {
                EXPECT_EQ(got->format, Format::Jpeg);
            }
        }
    }
}

// --- The budget's edges, directly --------------------------------------------------------------

TEST(WithinBudget, Edges) {
    static_assert(kMaxSide == 65535);
    static_assert(kMaxPixels == 134217728);
    struct Edge {
        std::uint32_t width, height;
        bool within;
    };
    const Edge edges[] = {
        {1, 1, true},
        {0, 1, false},
        {1, 0, false},
        {0, 0, false},
        {65535, 1, true},
        {1, 65535, true},
        {65536, 1, false},
        {1, 65536, false},
        {16384, 8192, true},  // exactly kMaxPixels
        {8192, 16384, true},
        {16384, 8193, false},   // kMaxPixels + 16384
        {65535, 2048, true},    // 134215680
        {65535, 2049, false},   // 134281215
        {11585, 11585, true},   // 134212225
        {11586, 11586, false},  // 134235396
        {10000, 10000, true},   // 100 megapixels
        {60000, 60000, false},
        {65535, 65535, false},
        {0xFFFFFFFF, 0xFFFFFFFF, false},  // the product needs 64 bits
        {0x10000, 0x10000, false},        // 2^32: zero in 32 bits
    };
    for (const Format format : {Format::Jpeg, Format::Png, Format::Gif, Format::Bmp}) {
        for (const Edge& e : edges) {
            EXPECT_EQ(WithinBudget(HeaderInfo{format, e.width, e.height}), e.within)
                << e.width << "x" << e.height;
        }
    }
}

}  // namespace

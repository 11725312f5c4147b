#include "imaging/decoding/picture_header.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/common/picture_bytes.hpp"

namespace {

using namespace picture_bytes;

using platform::pictures::Admission;
using platform::pictures::Admit;
using platform::pictures::Format;
using platform::pictures::HeaderInfo;
using platform::pictures::HeaderReading;
using platform::pictures::HeaderVerdict;
using platform::pictures::kMaxPixels;
using platform::pictures::kMaxSide;
using platform::pictures::ReadPictureHeader;
using platform::pictures::WithinBudget;

const char* Name(Format f) {
    static const char* const kNames[] = {"Jpeg", "Png", "Gif",  "Bmp", "Tiff",
                                         "Ico",  "Cur", "WebP", "Heif"};
    return kNames[static_cast<int>(f)];
}

// What a reading gave, as text: compared and shown in failures. An icon's frame follows its
// size.
std::string Text(const std::optional<HeaderInfo>& info) {
    if (!info) return "none";
    std::string text = std::string(Name(info->format)) + " " + std::to_string(info->width) + "x" +
                       std::to_string(info->height);
    if (info->frame) text += " frame " + std::to_string(info->frame);
    return text;
}
std::string Text(const HeaderReading& r) {
    switch (r.verdict) {
        case HeaderVerdict::Read:
            return "Read " + Text(std::optional<HeaderInfo>(r.info));
        case HeaderVerdict::Unknown:
            return "Unknown";
        case HeaderVerdict::CutShort:
            return std::string("CutShort ") + Name(r.info.format);
        case HeaderVerdict::Malformed:
            return std::string("Malformed ") + Name(r.info.format);
    }
    return "?";
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
    Bytes b = BmpFile(width, height, 32, Bytes(16, 0x7F), dibSize);
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

// --- HEIF boxes -----------------------------------------------------------------------------

Bytes Box(const std::string& type, const Bytes& body) {
    Bytes b;
    Be32(b, static_cast<std::uint32_t>(8 + body.size()));
    b.insert(b.end(), type.begin(), type.end());
    Append(b, body);
    return b;
}
Bytes FullBox(const std::string& type, std::uint8_t version, std::uint32_t flags, Bytes body) {
    Bytes b = {version};
    b.push_back(static_cast<std::uint8_t>(flags >> 16));
    Be16(b, flags & 0xFFFF);
    Append(b, body);
    return Box(type, b);
}
Bytes Ispe(std::uint32_t width, std::uint32_t height) {
    Bytes b;
    Be32(b, width);
    Be32(b, height);
    return FullBox("ispe", 0, 0, b);
}
Bytes Irot(std::uint8_t quarters) {
    return Box("irot", {quarters});
}

// A HEIF file's start: ftyp of the brands (the first the major one), the boxes `before`, then
// a meta box whose primary item is `primary`, with the properties (ipco's boxes, concatenated)
// and the associations of a version 0 ipma: (item, property indices, 1 for the first).
Bytes Concat(Bytes a, const Bytes& b) {
    Append(a, b);
    return a;
}

class Heif {
  public:
    Heif& Brands(std::vector<std::string> b) { return brands = std::move(b), *this; }
    Heif& Properties(Bytes p) { return properties = std::move(p), *this; }
    Heif& Associations(std::vector<std::pair<std::uint16_t, Bytes>> a) {
        return associations = std::move(a), *this;
    }
    Heif& Primary(std::uint16_t id) { return primary = id, *this; }
    Heif& Before(Bytes b) { return before = std::move(b), *this; }
    // The primary a grid whose data, in idat, gives the canvas's size.
    Heif& Grid(std::uint16_t width, std::uint16_t height) {
        Bytes infe;
        Be16(infe, primary);
        infe.insert(infe.end(), {0, 0, 'g', 'r', 'i', 'd', 0});
        Bytes iinf = {0, 1};
        Append(iinf, FullBox("infe", 2, 0, infe));
        Bytes iloc = {0x44, 0x00, 0, 1};  // 4-byte offsets and lengths, one item
        Be16(iloc, primary);
        iloc.insert(iloc.end(), {0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 8});  // in idat, 0, 8
        Bytes grid = {0, 0, 0, 0};
        Be16(grid, width);
        Be16(grid, height);
        derived = FullBox("iinf", 0, 0, iinf);
        Append(derived, FullBox("iloc", 1, 0, iloc));
        Append(derived, Box("idat", grid));
        return *this;
    }
    Heif& Ipma(std::uint8_t version, std::uint32_t flags) {
        return ipmaVersion = version, ipmaFlags = flags, *this;
    }

    Built Build(bool valid = true) const {
        Bytes ftyp(brands[0].begin(), brands[0].end());
        Be32(ftyp, 0);
        for (std::size_t i = 1; i < brands.size(); ++i)
            ftyp.insert(ftyp.end(), brands[i].begin(), brands[i].end());
        Bytes ipma;
        Be32(ipma, static_cast<std::uint32_t>(associations.size()));
        for (const auto& [item, indices] : associations) {
            if (ipmaVersion >= 1)
                Be32(ipma, item);
            else
                Be16(ipma, item);
            ipma.push_back(static_cast<std::uint8_t>(indices.size() / ((ipmaFlags & 1) ? 2 : 1)));
            Append(ipma, indices);
        }
        Bytes pitm;
        Be16(pitm, primary);
        Bytes iprp = Box("ipco", properties);
        Append(iprp, FullBox("ipma", ipmaVersion, ipmaFlags, ipma));
        Bytes meta = FullBox("hdlr", 0, 0, Bytes(20, 0));
        Append(meta, FullBox("pitm", 0, 0, pitm));
        Append(meta, Box("iprp", iprp));
        Append(meta, derived);
        Bytes b = Box("ftyp", ftyp);
        Append(b, before);
        Append(b, FullBox("meta", 0, 0, meta));
        return {b, valid ? b.size() : b.size() + 1};
    }

  private:
    std::vector<std::string> brands = {"heic", "mif1", "heic"};
    Bytes properties = Ispe(4032, 3024);
    std::vector<std::pair<std::uint16_t, Bytes>> associations = {{1, {1}}};
    std::uint16_t primary = 1;
    Bytes before, derived;
    std::uint8_t ipmaVersion = 0;
    std::uint32_t ipmaFlags = 0;
};

// --- The table ----------------------------------------------------------------------------------

struct Case {
    std::string name;
    Built header;
    HeaderReading expected;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

// The reading a header is to give, of one format: Jpg(640, 480), Ic(48, 48, 1), Tf.Bad().
struct Of {
    Format format;
    HeaderReading operator()(std::uint32_t w, std::uint32_t h, std::uint32_t frame = 0) const {
        return {HeaderVerdict::Read, {format, w, h, frame}};
    }
    HeaderReading Cut() const { return {HeaderVerdict::CutShort, {format, 0, 0}}; }
    HeaderReading Bad() const { return {HeaderVerdict::Malformed, {format, 0, 0}}; }
};
constexpr Of Jpg{Format::Jpeg}, Pn{Format::Png}, Gf{Format::Gif}, Bm{Format::Bmp}, Tf{Format::Tiff},
    Ic{Format::Ico}, Cu{Format::Cur}, Wb{Format::WebP}, Hf{Format::Heif};
constexpr HeaderReading kUnknown{};

std::vector<Case> Cases() {
    constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
    std::vector<Case> cases = {
        // --- JPEG ---
        {"jpeg_baseline", Jpeg().App0().Tables().Frame(640, 480).Tables().ScanAndEnd().Build(),
         Jpg(640, 480)},
        {"jpeg_width_and_height_differ_in_order", Jpeg().Frame(3, 70).Build(), Jpg(3, 70)},
        {"jpeg_exif_app1_60kb_before_frame",
         Jpeg().Segment(0xE1, 60000, 0xFF).App0().Tables().Frame(4000, 3000).ScanAndEnd().Build(),
         Jpg(4000, 3000)},
        {"jpeg_app1_holding_a_frame_marker",
         Jpeg()
             .Raw({0xFF, 0xE1, 0x00, 0x0D, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0xEA, 0x60, 0xEA, 0x60,
                   0x03, 0x01})
             .Frame(800, 600)
             .Build(),
         Jpg(800, 600)},
        {"jpeg_fill_bytes_before_markers",
         Jpeg()
             .Raw({0xFF, 0xFF, 0xFF})
             .App0()
             .Raw({0xFF, 0xFF})
             .Tables()
             .Raw({0xFF, 0xFF, 0xFF, 0xFF})
             .Frame(1024, 768)
             .Build(),
         Jpg(1024, 768)},
        {"jpeg_progressive_sof2",
         Jpeg().App0().Tables().Frame(1600, 1200, 0xC2).ScanAndEnd().Build(), Jpg(1600, 1200)},
        {"jpeg_standalone_markers_before_frame",
         Jpeg().Raw({0xFF, 0x01, 0xFF, 0xD0, 0xFF, 0xD7, 0xFF, 0xD8}).App0().Frame(5, 6).Build(),
         Jpg(5, 6)},
        {"jpeg_stray_bytes_between_segments_skipped_as_libjpeg_does",
         Jpeg().App0().Raw({0x00, 0x12, 0xFF, 0x00, 0x34}).Frame(7, 8).Build(), Jpg(7, 8)},
        {"jpeg_dht_dac_and_jpg_are_not_frames",
         Jpeg()
             .Raw({0xFF, 0xC4, 0x00, 0x08, 0x08, 0xEA, 0x60, 0xEA, 0x60, 0x03})
             .Raw({0xFF, 0xCC, 0x00, 0x08, 0x08, 0xEA, 0x60, 0xEA, 0x60, 0x03})
             .Raw({0xFF, 0xC8, 0x00, 0x08, 0x08, 0xEA, 0x60, 0xEA, 0x60, 0x03})
             .Frame(9, 10)
             .Build(),
         Jpg(9, 10)},
        {"jpeg_60000x60000_read_but_over_budget", Jpeg().App0().Frame(60000, 60000).Build(),
         Jpg(60000, 60000)},
        {"jpeg_height_0_defined_later_refused", Jpeg().Frame(640, 0).Build(), Jpg(640, 0)},
        {"jpeg_scan_before_frame", Jpeg().App0().ScanAndEnd().Frame(640, 480).Build(), Jpg.Bad()},
        // A walk that went on past SOS or EOI would find the frame right after them.
        {"jpeg_scan_segment_then_frame", Jpeg().App0().Segment(0xDA, 10).Frame(640, 480).Build(),
         Jpg.Bad()},
        {"jpeg_end_before_frame",
         Jpeg().App0().Raw({0xFF, 0xD9, 0x00, 0x02}).Frame(640, 480).Build(), Jpg.Bad()},
        {"jpeg_segment_length_1", Jpeg().Raw({0xFF, 0xE0, 0x00, 0x01}).Frame(640, 480).Build(),
         Jpg.Bad()},
        {"jpeg_segment_length_0", Jpeg().Raw({0xFF, 0xE0, 0x00, 0x00}).Frame(640, 480).Build(),
         Jpg.Bad()},
        {"jpeg_frame_length_7",
         Invalid({0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x07, 0x08, 0x01, 0xE0, 0x02, 0x80, 0x03}),
         Jpg.Bad()},
        {"jpeg_segment_longer_than_file", Invalid([] {
             Bytes b = {0xFF, 0xD8, 0xFF, 0xE1, 0xEA, 0x60};
             b.insert(b.end(), 100, 0x00);
             return b;
         }()),
         Jpg.Cut()},
        {"jpeg_start_only", Invalid({0xFF, 0xD8}), Jpg.Cut()},
        {"jpeg_fill_bytes_to_end", Invalid({0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF}), Jpg.Cut()},

        // --- PNG ---
        {"png_normal", Png(800, 600), Pn(800, 600)},
        {"png_0x0_refused", Png(0, 0), Pn(0, 0)},
        {"png_largest_sides_refused", Png(0xFFFFFFFF, 0xFFFFFFFF), Pn(0xFFFFFFFF, 0xFFFFFFFF)},
        {"png_ihdr_length_12", Png(800, 600, 12), Pn.Bad()},
        {"png_ihdr_length_14", Png(800, 600, 14), Pn.Bad()},
        {"png_first_chunk_not_ihdr", Png(800, 600, 13, "IDAT"), Pn.Bad()},
        {"png_bad_signature", Invalid({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B, 0, 0, 0, 13,
                                       'I',  'H', 'D', 'R', 0,    0,    1,    0,    0, 0, 1, 0}),
         kUnknown},

        // --- GIF ---
        {"gif89a", Gif(320, 200), Gf(320, 200)},
        {"gif87a", Gif(1, 1, "87a"), Gf(1, 1)},
        {"gif_screen_size_not_frame_size", Gif(400, 300, "89a", 20000, 20000), Gf(400, 300)},
        {"gif_little_endian_sides", Gif(0x1234, 0x0102), Gf(0x1234, 0x0102)},
        {"gif_0x0_refused", Gif(0, 0), Gf(0, 0)},
        {"gif_cut_in_its_size", Invalid({'G', 'I', 'F', '8', '9', 'a', 0x40, 0x01, 0xC8}),
         Gf.Cut()},
        {"gif_unknown_version", Gif(320, 200, "88a"), kUnknown},

        // --- BMP ---
        {"bmp_bottom_up", Bmp(1920, 1080), Bm(1920, 1080)},
        {"bmp_top_down_negative_height", Bmp(1920, -1080), Bm(1920, 1080)},
        {"bmp_top_down_minus_1", Bmp(3, -1), Bm(3, 1)},
        {"bmp_core_header", BmpCore(640, 480), Bm(640, 480)},
        {"bmp_core_header_65535x65535", BmpCore(65535, 65535), Bm(65535, 65535)},
        {"bmp_core_header_0x0", BmpCore(0, 0), Bm(0, 0)},
        {"bmp_v4_header", Bmp(800, 600, 108), Bm(800, 600)},
        {"bmp_v5_header", Bmp(800, -600, 124), Bm(800, 600)},
        {"bmp_os2_v2_header", Bmp(800, 600, 64), Bm(800, 600)},
        {"bmp_height_0_refused", Bmp(800, 0), Bm(800, 0)},
        {"bmp_height_int32_max", Bmp(1, kInt32Max), Bm(1, 2147483647u)},
        {"bmp_height_int32_min_plus_1", Bmp(1, kInt32Min + 1), Bm(1, 2147483647u)},
        {"bmp_height_int32_min", Bmp(1, kInt32Min, 40, false), Bm.Bad()},
        {"bmp_width_0", Bmp(0, 600, 40, false), Bm.Bad()},
        {"bmp_width_negative", Bmp(-800, 600, 40, false), Bm.Bad()},
        {"bmp_width_int32_min", Bmp(kInt32Min, 600, 40, false), Bm.Bad()},
        {"bmp_header_size_16", Bmp(800, 600, 16, false), Bm.Bad()},
        {"bmp_header_size_39", Bmp(800, 600, 39, false), Bm.Bad()},
        {"bmp_header_size_0", Bmp(800, 600, 0, false), Bm.Bad()},

        // --- TIFF ---
        {"tiff_little_endian_short", Tiff().Size(640, 480).Build(), Tf(640, 480)},
        {"tiff_big_endian_short", Tiff(true).Size(640, 480).Build(), Tf(640, 480)},
        {"tiff_little_endian_long", Tiff().Size(3000, 2000, Tiff::kLong).Build(), Tf(3000, 2000)},
        {"tiff_big_endian_long", Tiff(true).Size(3000, 2000, Tiff::kLong).Build(), Tf(3000, 2000)},
        {"tiff_ifd_after_the_pixels",
         Tiff().Gap(5000).Entry(254, Tiff::kLong, 1, 0).Size(4000, 3000).Orientation(6).Build(),
         Tf(4000, 3000)},
        {"tiff_length_before_width",
         Tiff(true).Entry(257, Tiff::kShort, 1, 70).Entry(256, Tiff::kShort, 1, 3).Build(),
         Tf(3, 70)},
        {"tiff_mixed_short_and_long",
         Tiff().Entry(256, Tiff::kShort, 1, 800).Entry(257, Tiff::kLong, 1, 600).Build(),
         Tf(800, 600)},
        {"tiff_next_ifd_points_at_itself", Tiff().Size(64, 48).Next(8).Build(), Tf(64, 48)},
        {"tiff_first_of_two_widths_counts",
         Tiff()
             .Entry(256, Tiff::kShort, 1, 100)
             .Entry(256, Tiff::kLong, 1, 70000)
             .Size(5, 50)
             .Build(),
         Tf(100, 50)},
        {"tiff_largest_sides_over_budget", Tiff().Size(0xFFFFFFFF, 0xFFFFFFFF, Tiff::kLong).Build(),
         Tf(0xFFFFFFFF, 0xFFFFFFFF)},
        {"tiff_0_width_refused", Tiff().Size(0, 10).Build(), Tf(0, 10)},
        {"tiff_no_width", Tiff().Entry(257, Tiff::kShort, 1, 10).Build(false), Tf.Bad()},
        {"tiff_no_entries", Tiff().Build(false), Tf.Bad()},
        {"tiff_width_count_2",
         Tiff().Entry(256, Tiff::kShort, 2, 10).Entry(257, 3, 1, 9).Build(false), Tf.Bad()},
        {"tiff_width_rational", Tiff().Entry(256, 5, 1, 40).Entry(257, 3, 1, 9).Build(false),
         Tf.Bad()},
        {"tiff_ifd_inside_the_header", Tiff().Size(64, 48).IfdOffset(4).Build(false), Tf.Bad()},
        {"tiff_ifd_offset_0", Tiff().Size(64, 48).IfdOffset(0).Build(false), Tf.Bad()},
        {"tiff_ifd_offset_near_4gib", Tiff().Size(64, 48).IfdOffset(0xFFFFFFFE).Build(false),
         Tf.Cut()},
        {"tiff_ifd_beyond_the_file", Tiff().Size(64, 48).IfdOffset(100000).Build(false), Tf.Cut()},
        {"tiff_entry_count_65535", Tiff().Size(64, 48).Count(65535).Build(false), Tf.Cut()},

        // --- ICO and CUR ---
        {"ico_one_image", Icon().Dib(32, 32).Build(), Ic(32, 32)},
        {"ico_largest_of_three", Icon().Dib(16, 16).Dib(48, 48).Dib(32, 32).Build(), Ic(48, 48, 1)},
        {"ico_png_256_among_dibs", Icon().Dib(16, 16).Dib(32, 32).PngImage(256, 256).Build(),
         Ic(256, 256, 2)},
        {"ico_png_size_from_its_ihdr_not_the_directory", Icon().PngImage(512, 384, 0, 0).Build(),
         Ic(512, 384)},
        {"ico_dib_size_from_its_header_not_the_directory", Icon().Dib(40, 20, 32, 16, 16).Build(),
         Ic(40, 20)},
        {"ico_256_dib_directory_bytes_0", Icon().Dib(256, 256).Dib(16, 16).Build(), Ic(256, 256)},
        {"ico_same_size_deeper_counts",
         Icon().Dib(32, 32, 8).Dib(32, 32, 32).Dib(32, 32, 4).Build(), Ic(32, 32, 1)},
        {"ico_same_size_and_depth_first_counts", Icon().Dib(24, 24).Dib(24, 24).Build(),
         Ic(24, 24)},
        {"ico_wide_beats_square_by_area", Icon().Dib(32, 32).Dib(64, 20).Build(), Ic(64, 20, 1)},
        {"ico_top_down_dib", Icon().Dib(32, -32).Build(), Ic(32, 32)},
        {"ico_over_budget_image_counts_though_smaller",
         Icon().Dib(1000, 1000).Dib(70000, 1).Build(), Ic(70000, 1, 1)},
        {"cur_one_image", Icon(true).Dib(32, 32).Build(), Cu(32, 32)},
        {"cur_largest_of_two", Icon(true).Dib(32, 32).PngImage(64, 64).Build(), Cu(64, 64, 1)},
        {"ico_no_images", Icon().Build(false), Ic.Bad()},
        {"ico_count_65535", Icon().Dib(16, 16).Count(65535).Build(false), Ic.Cut()},
        {"ico_image_beyond_the_file", Icon().Dib(16, 16).Offset(0, 100000).Build(false), Ic.Cut()},
        {"ico_image_offset_near_4gib", Icon().Dib(16, 16).Offset(0, 0xFFFFFFF0u).Build(false),
         Ic.Cut()},
        {"ico_second_image_beyond_the_file",
         Icon().Dib(16, 16).Dib(32, 32).Offset(1, 0xFFFFFFFFu).Build(false), Ic.Cut()},
        {"ico_png_with_bad_ihdr", Icon().RawImage(Png(16, 16, 12).bytes).Build(false), Ic.Bad()},
        {"ico_dib_header_size_20",
         Icon().RawImage({20, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0, 0, 0}).Build(false),
         Ic.Bad()},
        {"ico_dib_width_0", Icon().Dib(0, 16).Build(false), Ic.Bad()},
        {"ico_dib_height_field_1",
         Icon().RawImage({40, 0, 0, 0, 16, 0, 0, 0, 1, 0, 0, 0, 1, 0, 32, 0, 0, 0}).Build(false),
         Ic.Bad()},

        // --- WebP ---
        {"webp_lossy", WebPLossy(640, 480), Wb(640, 480)},
        {"webp_lossy_upscaling_bits_ignored", WebPLossy(640, 480, 3), Wb(640, 480)},
        {"webp_lossy_16383x16383_over_budget", WebPLossy(16383, 16383), Wb(16383, 16383)},
        {"webp_lossy_0x0_refused", WebPLossy(0, 0), Wb(0, 0)},
        {"webp_lossless", WebPLossless(1, 1), Wb(1, 1)},
        {"webp_lossless_16384x16384_over_budget", WebPLossless(16384, 16384), Wb(16384, 16384)},
        {"webp_extended", WebPExtended(4000, 3000), Wb(4000, 3000)},
        {"webp_extended_largest_canvas_over_budget", WebPExtended(16777216, 16777216),
         Wb(16777216, 16777216)},
        {"webp_lossy_bad_start_code", Invalid([] {
             Bytes b = WebPLossy(640, 480).bytes;
             b[24] = 0x02;
             return b;
         }()),
         Wb.Bad()},
        {"webp_lossless_bad_signature", Invalid([] {
             Bytes b = WebPLossless(640, 480).bytes;
             b[20] = 0x2E;
             return b;
         }()),
         Wb.Bad()},
        {"webp_lossless_version_1", Invalid(WebPLossless(640, 480, 1).bytes), Wb.Bad()},
        {"webp_unknown_first_chunk", Invalid(Riff("ALPH", Bytes(20, 0x10))), Wb.Bad()},

        // --- HEIF and AVIF ---
        {"heic_primary_size", Heif().Build(), Hf(4032, 3024)},
        {"avif_major_brand", Heif().Brands({"avif", "mif1", "miaf"}).Build(), Hf(4032, 3024)},
        {"heif_brand_only_among_compatible", Heif().Brands({"isom", "iso8", "msf1"}).Build(),
         Hf(4032, 3024)},
        {"heic_irot_90_swaps_the_sides",
         Heif().Properties(Concat(Ispe(4032, 3024), Irot(1))).Associations({{1, {1, 2}}}).Build(),
         Hf(3024, 4032)},
        {"heic_irot_270_swaps_the_sides",
         Heif().Properties(Concat(Irot(3), Ispe(4032, 3024))).Associations({{1, {2, 1}}}).Build(),
         Hf(3024, 4032)},
        {"heic_irot_before_its_ispe_not_applied",
         Heif().Properties(Concat(Irot(3), Ispe(3024, 4032))).Associations({{1, {1, 2}}}).Build(),
         Hf(3024, 4032)},
        {"heic_irot_180_keeps_them",
         Heif().Properties(Concat(Ispe(4032, 3024), Irot(2))).Associations({{1, {1, 2}}}).Build(),
         Hf(4032, 3024)},
        {"heic_irot_of_another_item_not_applied",
         Heif()
             .Properties(Concat(Ispe(4032, 3024), Irot(1)))
             .Associations({{1, {1}}, {2, {2}}})
             .Build(),
         Hf(4032, 3024)},
        {"heic_primary_is_the_second_item",
         Heif()
             .Properties(Concat(Ispe(320, 240), Ispe(4000, 3000)))
             .Associations({{1, {1}}, {2, {0x82}}})
             .Primary(2)
             .Build(),
         Hf(4000, 3000)},
        {"heic_ipma_wide_ids_and_indices",
         Heif().Associations({{1, {0x80, 0x01}}}).Ipma(1, 1).Build(), Hf(4032, 3024)},
        {"heic_meta_after_the_pictures", Heif().Before(Box("mdat", Bytes(3000, 0x55))).Build(),
         Hf(4032, 3024)},
        {"heic_meta_after_a_box_of_64_bit_size",
         Heif()
             .Before([] {
                 Bytes b = {0, 0, 0, 1, 'f', 'r', 'e', 'e', 0, 0, 0, 0, 0, 0, 0, 20};
                 b.resize(20, 0);
                 return b;
             }())
             .Build(),
         Hf(4032, 3024)},
        {"heic_grid_canvas_as_its_ispe", Heif().Grid(4032, 3024).Build(), Hf(4032, 3024)},
        {"heic_grid_canvas_turned_as_libheif_writes_it", Heif().Grid(3024, 4032).Build(),
         Hf(4032, 3024)},
        {"heic_grid_canvas_beyond_its_ispe", Heif().Grid(65535, 65535).Build(false), Hf.Bad()},
        {"heic_ispe_beyond_the_budget", Heif().Properties(Ispe(70000, 70000)).Build(),
         Hf(70000, 70000)},
        {"heic_no_ispe", Heif().Properties(Irot(1)).Build(false), Hf.Bad()},
        {"heic_property_index_beyond_ipco", Heif().Associations({{1, {2}}}).Build(false), Hf.Bad()},
        {"heic_no_primary_item", Heif().Primary(7).Build(false), Hf.Bad()},
        {"heic_box_to_the_end_before_meta",
         Heif().Before({0, 0, 0, 0, 'm', 'd', 'a', 't', 1, 2, 3}).Build(false), Hf.Bad()},
        {"heic_box_of_4_bytes_before_meta",
         Heif().Before({0, 0, 0, 4, 'f', 'r', 'e', 'e'}).Build(false), Hf.Bad()},
        {"heif_ftyp_of_256_bytes", Invalid([] {
             Bytes b = {0x00, 0x00, 0x01, 0x00, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c'};
             b.resize(256, 0);
             return b;
         }()),
         Hf.Cut()},

        // --- Not a picture this reader knows ---
        {"empty", Invalid({}), kUnknown},
        {"bigtiff", Invalid({'I', 'I', 0x2B, 0x00, 0x08, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0}),
         kUnknown},
        {"riff_but_not_webp",
         Invalid(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' ', 'L', 'I', 'S', 'T'}),
         kUnknown},
        {"iso_media_without_a_heif_brand", Invalid(Heif().Brands({"isom", "mp41"}).Build().bytes),
         kUnknown},
        {"os2_bitmap_array",
         Invalid({'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0, 0, 0, 1, 0, 1, 0}),
         kUnknown},
        {"text", Invalid({'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}), kUnknown},
    };
    // Every other frame type: SOF1-SOF3, SOF5-SOF7, SOF9-SOF11, SOF13-SOF15.
    for (const std::uint8_t marker : std::initializer_list<std::uint8_t>{
             0xC1, 0xC3, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF}) {
        static const char kHex[] = "0123456789ABCDEF";
        std::string name = "jpeg_frame_marker_";
        name += kHex[marker >> 4];
        name += kHex[marker & 0xF];
        cases.push_back({name, Jpeg().App0().Frame(300, 200, marker).Build(), Jpg(300, 200)});
    }
    return cases;
}

class PictureHeader : public testing::TestWithParam<Case> {};

// The whole header's reading, and every cut of it, each a buffer of exactly its bytes so that a
// sanitizer sees any read past the end. What a loader relies on when it reads a file's start only
// and reads more while the reader asks for it: a readable header cut before its size is CutShort
// (or, under the longest signature's 12 bytes, Unknown); from its size on it is read; and from 12
// bytes on a verdict other than CutShort is already the whole file's.
TEST_P(PictureHeader, EveryCut) {
    const Case& c = GetParam();
    const Bytes& full = c.header.bytes;
    const std::string whole = Text(c.expected);
    ASSERT_EQ(Text(ReadPictureHeader(full)), whole);
    for (std::size_t n = 0; n < full.size(); ++n) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        const HeaderReading got = ReadPictureHeader(cut);
        const std::string where =
            Text(got) + ", cut to " + std::to_string(n) + " of " + std::to_string(full.size());
        if (n >= c.header.sizeEnd) {
            ASSERT_EQ(Text(got), whole) << where;
        } else if (c.expected.verdict == HeaderVerdict::Read) {
            ASSERT_TRUE(got.verdict == HeaderVerdict::CutShort ||
                        (n < 12 && got.verdict == HeaderVerdict::Unknown))
                << where;
        }
        if (n >= 12 && got.verdict != HeaderVerdict::CutShort) {
            ASSERT_EQ(Text(got), whole) << where;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PictureHeader, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

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
    for (const Edge& e : edges) {
        EXPECT_EQ(WithinBudget(e.width, e.height), e.within) << e.width << "x" << e.height;
        // A header's size is held to the same budget, whatever its format.
        EXPECT_EQ(WithinBudget(HeaderInfo{Format::Tiff, e.width, e.height}), e.within);
    }
}

// --- Verdicts, and what a loader does with them ----------------------------------------------

TEST(Admit, AKnownFormatIsDecodedOnlyWithinTheBudgetAnUnknownOneAfterItsFrameSize) {
    struct Row {
        const char* name;
        Bytes bytes;
        Admission expected;
    };
    // Admit looks at the verdict and the size only, whatever the format.
    const Row rows[] = {
        {"within", Png(10, 10).bytes, Admission::Decode},
        {"over_budget", Tiff().Size(70000, 70000, Tiff::kLong).Build().bytes, Admission::Refuse},
        {"cut_short", Tiff().Size(64, 48).IfdOffset(100000).Build().bytes, Admission::Refuse},
        {"malformed", Tiff().Entry(257, 3, 1, 9).Build().bytes, Admission::Refuse},
        {"unknown",
         {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'},
         Admission::CheckFrameSize},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(static_cast<int>(Admit(ReadPictureHeader(row.bytes))),
                  static_cast<int>(row.expected))
            << row.name;
    }
}

}  // namespace

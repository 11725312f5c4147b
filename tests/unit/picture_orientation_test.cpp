#include "imaging/decoding/picture_orientation.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/common/picture_bytes.hpp"

namespace {

using namespace picture_bytes;
using platform::pictures::ReadOrientation;

// A JPEG whose first segment is an Exif block holding `tiff`, then a frame and a scan.
Bytes JpegWithExif(const Tiff& tiff) {
    return Jpeg().Exif(tiff.Structure()).App0().Frame(600, 400).ScanAndEnd().Build().bytes;
}

struct Case {
    std::string name;
    Bytes bytes;
    int expected;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    // Every value in both byte orders, in a JPEG's Exif block and in a TIFF file.
    for (const bool big : {false, true}) {
        const std::string order = big ? "big_endian" : "little_endian";
        for (std::uint32_t v = 1; v <= 8; ++v) {
            const Tiff exif =
                Tiff(big).Entry(271, 2, 4, 0x00414141).Orientation(v).Entry(282, 5, 1, 0x200);
            cases.push_back(
                {"jpeg_" + order + "_" + std::to_string(v), JpegWithExif(exif), int(v)});
            cases.push_back({"tiff_" + order + "_" + std::to_string(v),
                             Tiff(big).Size(60, 40).Orientation(v).Build().bytes, int(v)});
        }
        // Values outside 1..8 mean upright.
        for (const std::uint32_t v : {0u, 9u, 255u, 256u, 65535u}) {
            cases.push_back({"jpeg_" + order + "_value_" + std::to_string(v),
                             JpegWithExif(Tiff(big).Orientation(v)), 1});
            cases.push_back({"tiff_" + order + "_value_" + std::to_string(v),
                             Tiff(big).Size(60, 40).Orientation(v).Build().bytes, 1});
        }
    }
    const auto exif6 = [] { return Tiff().Orientation(6).Structure(); };
    const Bytes pixels(300, 0x77);
    cases.insert(
        cases.end(),
        {
            {"jpeg_no_exif", Jpeg().App0().Frame(600, 400).ScanAndEnd().Build().bytes, 1},
            {"jpeg_exif_without_the_tag", JpegWithExif(Tiff().Size(600, 400)), 1},
            {"jpeg_exif_after_app0", Jpeg().App0().Exif(exif6()).Frame(60, 40).Build().bytes, 6},
            {"jpeg_exif_after_the_frame", Jpeg().Frame(60, 40).Exif(exif6()).Build().bytes, 6},
            {"jpeg_exif_after_the_scan",
             Jpeg().Frame(60, 40).ScanAndEnd().Exif(exif6()).Build().bytes, 1},
            {"tag_as_long_is_not_the_tag", JpegWithExif(Tiff().Orientation(6, Tiff::kLong)), 1},
            {"tag_with_count_2", JpegWithExif(Tiff().Entry(274, Tiff::kShort, 2, 6)), 1},
            {"first_of_two_tags_counts", JpegWithExif(Tiff().Orientation(3).Orientation(6)), 3},
            // IFD0's offset counts from the TIFF structure's start; 40 bytes on, past the
            // segment's end, the next segment holds what would read as an IFD with 6.
            {"ifd_offset_beyond_the_segment",
             [] {
                 Bytes ifd = {1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0};
                 return Jpeg()
                     .Exif(Tiff().IfdOffset(24).Structure())
                     .Segment(0xE2, 8, 0)
                     .Raw(ifd)
                     .Frame(60, 40)
                     .Build()
                     .bytes;
             }(),
             1},
            {"ifd_offset_near_4gib", JpegWithExif(Tiff().Orientation(6).IfdOffset(0xFFFFFFF8u)), 1},
            {"ifd_offset_inside_the_header", JpegWithExif(Tiff().Orientation(6).IfdOffset(2)), 1},
            {"ifd_offset_0", JpegWithExif(Tiff().Orientation(6).IfdOffset(0)), 1},
            {"entry_count_65535", JpegWithExif(Tiff().Orientation(6).Count(65535)), 1},
            {"entry_count_65535_in_a_tiff_file", Tiff().Orientation(6).Count(65535).Build().bytes,
             1},
            {"entry_count_one_more_than_the_segment_holds",
             JpegWithExif(Tiff().Orientation(6).Count(2)), 1},
            {"ifd_chain_points_at_itself", JpegWithExif(Tiff().Orientation(6).Next(8)), 6},
            {"ifd_chain_points_at_the_header", JpegWithExif(Tiff().Orientation(6).Next(0)), 6},
            {"tiff_file_chain_points_at_itself",
             Tiff().Gap(64).Size(10, 10).Orientation(8).Next(72).Build().bytes, 8},
            // The segment claims 65535 bytes and the file ends after the IFD: what is there
            // is read.
            {"exif_segment_longer_than_the_file", Jpeg().Exif(exif6(), 0xFFFF).Build().bytes, 6},
            {"exif_segment_longer_than_the_file_cut_in_the_ifd",
             [&] {
                 Bytes one = Jpeg().Exif(exif6(), 0xFFFF).Build().bytes;
                 one.resize(one.size() - 8);
                 return one;
             }(),
             1},
            // The segment's length ends it before the IFD: the rest is another segment's.
            {"exif_segment_shorter_than_its_ifd",
             Jpeg().Exif(exif6(), 2 + 6 + 8 + 2).Raw(pixels).Build().bytes, 1},
            {"two_exif_segments_the_first_counts",
             Jpeg().Exif(Tiff().Orientation(3).Structure()).Exif(exif6()).Frame(6, 4).Build().bytes,
             3},
            {"two_exif_segments_the_first_unreadable",
             Jpeg().Exif({'I', 'I', 0x2B, 0}).Exif(exif6()).Frame(6, 4).Build().bytes, 1},
            {"two_exif_segments_the_first_without_the_tag",
             Jpeg().Exif(Tiff().Size(6, 4).Structure()).Exif(exif6()).Frame(6, 4).Build().bytes, 1},
            {"xmp_app1_before_exif",
             [&] {
                 const std::string xmp = "http://ns.adobe.com/xap/1.0/";
                 Bytes data(xmp.begin(), xmp.end());
                 data.push_back(0);
                 data.insert(data.end(), 40, ' ');
                 Bytes b = {0xFF, 0xE1, 0, static_cast<std::uint8_t>(data.size() + 2)};
                 Append(b, data);
                 return Jpeg().Raw(b).Exif(exif6()).Frame(6, 4).Build().bytes;
             }(),
             6},
            {"exif_without_its_two_zero_bytes",
             Jpeg()
                 .Raw({0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0x00, 0x01})
                 .Exif(exif6())
                 .Build()
                 .bytes,
             6},
            {"app1_too_short_for_exif",
             Jpeg()
                 .Raw({0xFF, 0xE1, 0x00, 0x06, 'E', 'x', 'i', 'f'})
                 .Raw({0x00, 0x00})
                 .Exif(exif6())
                 .Build()
                 .bytes,
             6},
            {"exif_with_bad_byte_order", Jpeg().Exif({'I', 'M', 0x2A, 0, 8, 0, 0, 0}).Build().bytes,
             1},
            {"exif_empty", Jpeg().Exif({}).Build().bytes, 1},
            {"segment_length_1_ends_the_walk",
             Jpeg().Raw({0xFF, 0xE0, 0x00, 0x01}).Exif(exif6()).Build().bytes, 1},
            {"png", Png(10, 10).bytes, 1},
            {"empty", {}, 1},
            {"soi_only", {0xFF, 0xD8}, 1},
        });
    return cases;
}

class Orientation : public testing::TestWithParam<Case> {};

TEST_P(Orientation, IsRead) {
    EXPECT_EQ(int(ReadOrientation(GetParam().bytes)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Orientation, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

// A JPEG cut anywhere before the end of its orientation entry reads upright; from there on,
// the value: the block is read only as far as it is there.
TEST(OrientationCuts, NoValueBeforeItsEntryIsThere) {
    const Bytes full = JpegWithExif(Tiff().Orientation(6));
    // SOI 2, APP1 marker and length 4, "Exif\0\0" 6, TIFF header 8, count 2, entry 12.
    const std::size_t entryEnd = 2 + 4 + 6 + 8 + 2 + 12;
    for (std::size_t n = 0; n <= full.size(); ++n) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(int(ReadOrientation(cut)), n < entryEnd ? 1 : 6) << "cut to " << n;
    }
}

}  // namespace

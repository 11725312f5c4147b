// The rules by which a JPEG's ICC chunks become a profile, and the profiles Little CMS takes.
#include "platform/icc_chunks.hpp"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/colour_profile.hpp"

namespace {

using platform::jpeg::IccChunk;
using Bytes = std::vector<std::uint8_t>;

// A profile's bytes as far as the chunk rules look: its header's size field, then `size` bytes
// in all, each numbered so that their order shows.
Bytes Profile(std::uint32_t declared, std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 4; i < size; ++i) b[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 4 && i < static_cast<int>(size); ++i)
        b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(declared >> (24 - 8 * i));
    return b;
}

Bytes Part(const Bytes& b, std::size_t from, std::size_t to) {
    return {b.begin() + static_cast<std::ptrdiff_t>(from),
            b.begin() + static_cast<std::ptrdiff_t>(to)};
}

const Bytes kWhole = Profile(300, 300);

struct Row {
    const char* name;
    std::vector<IccChunk> chunks;
    bool used;  // the profile comes out whole
};

const Row kRows[] = {
    {"none", {}, false},
    {"one_chunk", {{1, 1, kWhole}}, true},
    {"three_in_order",
     {{1, 3, Part(kWhole, 0, 100)}, {2, 3, Part(kWhole, 100, 200)}, {3, 3, Part(kWhole, 200, 300)}},
     true},
    {"three_out_of_order",
     {{3, 3, Part(kWhole, 200, 300)}, {1, 3, Part(kWhole, 0, 100)}, {2, 3, Part(kWhole, 100, 200)}},
     true},
    {"one_missing", {{1, 3, Part(kWhole, 0, 100)}, {3, 3, Part(kWhole, 200, 300)}}, false},
    {"one_repeated",
     {{1, 2, Part(kWhole, 0, 150)}, {1, 2, Part(kWhole, 0, 150)}, {2, 2, Part(kWhole, 150, 300)}},
     false},
    {"number_zero", {{0, 2, Part(kWhole, 0, 150)}, {2, 2, Part(kWhole, 150, 300)}}, false},
    {"number_beyond_count", {{1, 2, Part(kWhole, 0, 150)}, {3, 2, Part(kWhole, 150, 300)}}, false},
    {"counts_disagree", {{1, 2, Part(kWhole, 0, 150)}, {2, 3, Part(kWhole, 150, 300)}}, false},
    {"count_zero", {{1, 0, kWhole}}, false},
    {"count_255_one_present", {{1, 255, kWhole}}, false},
    {"truncated", {{1, 1, Part(kWhole, 0, 299)}}, false},
    {"declares_4_gb", {{1, 1, Profile(0xFFFFFFF0u, 300)}}, false},
    {"declares_less_than_its_header", {{1, 1, Profile(100, 300)}}, false},
    {"shorter_than_a_header", {{1, 1, Profile(100, 100)}}, false},
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class Reassembly : public ::testing::TestWithParam<Row> {};

TEST_P(Reassembly, FollowsTheRules) {
    const Row& row = GetParam();
    const platform::icc::Embedded got = platform::icc::Reassembled(row.chunks);
    if (row.used) {
        EXPECT_EQ(got.bytes, kWhole);
        EXPECT_EQ(got.problem, "");
    } else {
        EXPECT_TRUE(got.bytes.empty());
        // A picture without chunks embeds nothing: nothing to report.
        EXPECT_EQ(got.problem.empty(), row.chunks.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Reassembly, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Reassembly, BytesAfterTheDeclaredSizeAreDropped) {
    Bytes longer = kWhole;
    longer.resize(310, 7);
    EXPECT_EQ(platform::icc::Checked(longer).bytes, kWhole);
}

Bytes Saved(cmsHPROFILE p) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(p, nullptr, &size);
    Bytes b(size);
    cmsSaveProfileToMem(p, b.data(), &size);
    cmsCloseProfile(p);
    return b;
}

// Adobe RGB (1998)'s primaries and gamma under D65.
Bytes Wide() {
    const cmsCIExyY white{0.3127, 0.3290, 1};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1}, {0.21, 0.71, 1}, {0.15, 0.06, 1}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    Bytes b = Saved(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(gamma);
    return b;
}

TEST(ColourProfile, SrgbAndGreyAndBrokenProfilesConvertNothing) {
    const Bytes srgb = Saved(cmsCreate_sRGBProfile());
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    const Bytes grey = Saved(cmsCreateGrayProfile(cmsD50_xyY(), gamma));
    cmsFreeToneCurve(gamma);
    // Every tag of its table pointing outside the profile.
    Bytes broken = Wide();
    for (std::size_t entry = 132; entry + 12 <= 132 + 12 * std::size_t{broken[131]}; entry += 12)
        broken[entry + 4] = 0x7F;
    for (const auto& [bytes, problem] :
         {std::pair{srgb, false}, std::pair{grey, true}, std::pair{broken, true}}) {
        const auto judged = platform::colour::Judge(bytes);
        EXPECT_EQ(judged.conversion, nullptr);
        EXPECT_EQ(judged.problem.empty(), !problem) << judged.problem;
    }
}

TEST(ColourProfile, AWideProfileIsConvertedToSrgb) {
    const auto judged = platform::colour::Judge(Wide());
    ASSERT_NE(judged.conversion, nullptr) << judged.problem;
    // sRGB's (214, 40, 48) is Adobe RGB's (184, 44, 51); the alpha stays.
    platform::pictures::Bitmap b{1, 1, {0x7FB82C33u}};
    judged.conversion->Apply(b, {});
    const std::uint32_t p = b.pixels[0];
    EXPECT_EQ(p >> 24, 0x7Fu);
    EXPECT_NEAR(static_cast<int>(p >> 16 & 0xFF), 214, 2);
    EXPECT_NEAR(static_cast<int>(p >> 8 & 0xFF), 40, 2);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 48, 2);
}

}  // namespace

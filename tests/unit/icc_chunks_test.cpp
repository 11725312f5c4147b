// The rules by which a JPEG's ICC chunks become a profile.
#include "imaging/colour/icc_chunks.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

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
    {"bytes_after_the_declared_size_dropped", {{1, 2, kWhole}, {2, 2, Bytes(10, 7)}}, true},
};

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

// A WebP's start: RIFF, WEBP, VP8X with its flags, then an ICCP chunk of `size` holding `bytes`.
Bytes WebP(std::uint8_t flags, std::uint32_t size, const Bytes& bytes, const char* name = "ICCP") {
    Bytes b = {'R', 'I', 'F', 'F', 0, 0,     0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8',
               'X', 10,  0,   0,   0, flags, 0, 0, 0,   0,   0,   0,   0,   0,   0};
    b.insert(b.end(), name, name + 4);
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    b.insert(b.end(), bytes.begin(), bytes.end());
    return b;
}

TEST(WebPProfile, FromItsIccpChunk) {
    const struct {
        Bytes start;
        bool used, problem;
    } rows[] = {
        {WebP(0x20, 300, kWhole), true, false},
        {WebP(0x00, 300, kWhole), false, false},  // VP8X announces none
        {WebP(0x20, 300, Part(kWhole, 0, 200)), false, true},
        {WebP(0x20, 0xFFFFFFFFu, kWhole), false, true},
        {WebP(0x20, 300, kWhole, "ALPH"), false, true},
        {Part(WebP(0x20, 300, kWhole), 0, 34), false, true},
    };
    for (const auto& row : rows) {
        const platform::icc::Embedded got = platform::icc::FromWebP(row.start);
        EXPECT_EQ(got.bytes, row.used ? kWhole : Bytes{});
        EXPECT_EQ(!got.problem.empty(), row.problem);
    }
}

}  // namespace

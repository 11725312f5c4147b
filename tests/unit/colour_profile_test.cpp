// The colour conversion of an embedded profile: a soft edge of a wide-gamut picture comes out
// as its straight colour converted, premultiplied again.
#include "imaging/colour/colour_profile.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/common/p3_profile.hpp"

namespace {

std::uint32_t Pixel(unsigned a, unsigned r, unsigned g, unsigned b) {
    return a << 24 | r << 16 | g << 8 | b;
}

TEST(ColourConversion, AHalfTransparentEdgeIsItsStraightColourConverted) {
    const auto judged = platform::colour::Judge(test_profiles::DisplayP3());
    ASSERT_TRUE(judged.conversion) << judged.problem;
    for (const std::uint32_t straight : {0xC82828u, 0x1EDC5Au, 0xFAFA14u, 0x0A0AF0u}) {
        platform::pictures::Bitmap opaque{1, 1, {0xFF000000u | straight}};
        judged.conversion->Apply(opaque, {});
        for (const unsigned alpha : {128u, 51u}) {
            // The edge premultiplied as the kept rows are; it must come out as the opaque
            // colour's conversion taken at its alpha, within 2 levels.
            const auto at = [&](std::uint32_t p, int shift) { return (p >> shift & 255) * alpha; };
            platform::pictures::Bitmap edge{
                1,
                1,
                {Pixel(alpha, (at(straight, 16) + 127) / 255, (at(straight, 8) + 127) / 255,
                       (at(straight, 0) + 127) / 255)}};
            judged.conversion->Apply(edge, {});
            EXPECT_EQ(edge.pixels[0] >> 24, alpha);
            for (const int shift : {16, 8, 0}) {
                const int got = static_cast<int>(edge.pixels[0] >> shift & 255);
                const int want = static_cast<int>((at(opaque.pixels[0], shift) + 127) / 255);
                EXPECT_LE(std::abs(got - want), 2) << std::hex << straight << " alpha " << alpha;
                EXPECT_LE(got, static_cast<int>(alpha)) << "no channel passes its alpha";
            }
        }
    }
}

}  // namespace

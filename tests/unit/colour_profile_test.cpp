// The colour conversion of an embedded profile: a soft edge of a wide-gamut picture comes out
// as its straight colour converted, premultiplied again.
#include "platform/colour_profile.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/common/p3_profile.hpp"

namespace {

std::uint32_t Pixel(unsigned a, unsigned r, unsigned g, unsigned b) {
    return a << 24 | r << 16 | g << 8 | b;
}

TEST(ColourConversion, AHalfTransparentEdgeIsItsStraightColourConverted) {
    const std::vector<std::uint8_t> p3 = test_profiles::DisplayP3();
    const auto judged = platform::colour::Judge(p3);
    ASSERT_TRUE(judged.conversion) << judged.problem;
    const struct {
        unsigned r, g, b;
    } colours[] = {{200, 40, 40}, {30, 220, 90}, {250, 250, 20}, {10, 10, 240}};
    for (const auto& c : colours) {
        // The opaque colour converted, then taken at half and a fifth of its alpha.
        platform::pictures::Bitmap opaque{1, 1, {Pixel(255, c.r, c.g, c.b)}};
        judged.conversion->Apply(opaque, {});
        for (const unsigned alpha : {128u, 51u}) {
            const auto premultiplied = [&](unsigned v) { return (v * alpha + 127) / 255; };
            platform::pictures::Bitmap edge{
                1, 1, {Pixel(alpha, premultiplied(c.r), premultiplied(c.g), premultiplied(c.b))}};
            judged.conversion->Apply(edge, {});
            const std::uint32_t got = edge.pixels[0], want = opaque.pixels[0];
            EXPECT_EQ(got >> 24, alpha);
            for (const int shift : {16, 8, 0}) {
                const unsigned g = got >> shift & 255, w = premultiplied(want >> shift & 255);
                // Within 2 levels of the straight conversion, at the edge's own precision.
                EXPECT_LE(std::abs(static_cast<int>(g) - static_cast<int>(w)), 2)
                    << c.r << "," << c.g << "," << c.b << " alpha " << alpha << " channel "
                    << shift;
                EXPECT_LE(g, alpha) << "a channel never passes its alpha";
            }
        }
    }
}

}  // namespace

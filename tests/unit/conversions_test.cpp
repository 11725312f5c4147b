// Settings text to numbers and truth values, and floating values to integers.
#include "app/conversions.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using mainMod::kFalse;
using mainMod::kTrue;

struct IntCase {
    const char16_t* text;
    std::optional<std::int32_t> as16;  // empty: the conversion fails
    std::optional<std::int32_t> as32;
};

const IntCase kIntCases[] = {
    {u"12", 12, 12},
    {u"  12  ", 12, 12},
    {u"\t-7\t", -7, -7},
    {u"+5", 5, 5},
    {u"12.5", 12, 12},  // an exact half goes to the even neighbour
    {u"13.5", 14, 14},
    {u"-2.5", -2, -2},
    {u"2.51", 3, 3},
    {u"2.4999", 2, 2},
    {u"0.5", 0, 0},
    {u"1.5", 2, 2},
    {u".5", 0, 0},
    {u"7.", 7, 7},
    {u"&HFF", 255, 255},
    {u"&hff", 255, 255},
    {u"&H7FFF", 32767, 32767},
    {u"&H8000", std::nullopt, 32768},
    {u"&HFFFFFF", std::nullopt, 16777215},
    {u"32767", 32767, 32767},
    {u"32768", std::nullopt, 32768},
    {u"-32768", -32768, -32768},
    {u"-32769", std::nullopt, -32769},
    {u"32767.5", std::nullopt, 32768},  // rounds beyond the 16-bit range
    {u"40000", std::nullopt, 40000},
    {u"2147483647", std::nullopt, 2147483647},
    {u"2147483648", std::nullopt, std::nullopt},
    {u"-2147483648", std::nullopt, -2147483647 - 1},
    {u"99999999999999999999999999", std::nullopt, std::nullopt},
    {u"", std::nullopt, std::nullopt},
    {u"   ", std::nullopt, std::nullopt},
    {u"abc", std::nullopt, std::nullopt},
    {u"12abc", std::nullopt, std::nullopt},
    {u"1 2", std::nullopt, std::nullopt},
    {u"&H", std::nullopt, std::nullopt},
    {u"&HG1", std::nullopt, std::nullopt},
    {u"-", std::nullopt, std::nullopt},
    {u".", std::nullopt, std::nullopt},
    {u"1e3", std::nullopt, std::nullopt},
    {u"--1", std::nullopt, std::nullopt},
};

TEST(TextToInteger, FollowsTheSettingsRules) {
    for (const IntCase& c : kIntCases) {
        const std::u16string text = c.text;
        const auto r16 = mainMod::TextToInt16(text);
        const auto r32 = mainMod::TextToInt32(text);
        const std::string shown(text.begin(), text.end());
        EXPECT_EQ(r16.has_value(), c.as16.has_value()) << "16-bit of \"" << shown << "\"";
        if (r16 && c.as16) {
            EXPECT_EQ(*r16, *c.as16) << "16-bit of \"" << shown << "\"";
        }
        EXPECT_EQ(r32.has_value(), c.as32.has_value()) << "32-bit of \"" << shown << "\"";
        if (r32 && c.as32) {
            EXPECT_EQ(*r32, *c.as32) << "32-bit of \"" << shown << "\"";
        }
    }
}

struct BoolCase {
    const char16_t* text;
    std::optional<mainMod::VbBool> expected;
};

const BoolCase kBoolCases[] = {
    {u"True", kTrue},      {u"true", kTrue},         {u"TRUE", kTrue},       {u" tRuE ", kTrue},
    {u"False", kFalse},    {u"false", kFalse},       {u"1", kTrue},          {u"-1", kTrue},
    {u"0", kFalse},        {u"0.0", kFalse},         {u"0.4", kTrue},        {u"&H0", kFalse},
    {u"&H10", kTrue},      {u"99999999999", kTrue},  {u"yes", std::nullopt}, {u"", std::nullopt},
    {u"on", std::nullopt}, {u"truee", std::nullopt},
};

TEST(TextToBool, WordsAndNumbers) {
    for (const BoolCase& c : kBoolCases) {
        const std::u16string text = c.text;
        const std::string shown(text.begin(), text.end());
        EXPECT_EQ(mainMod::TextToBool(text), c.expected) << "of \"" << shown << "\"";
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const struct {
        double in, out;
    } cases[] = {{2193.5, 2194}, {2194.5, 2194}, {4432.5, 4432},  {-0.5, 0}, {-1.5, -2},
                 {2.49, 2},      {2.51, 3},      {1682.52, 1683}, {0.0, 0},  {-3.7, -4}};
    for (const auto& c : cases) EXPECT_EQ(mainMod::RoundHalfEven(c.in), c.out) << "of " << c.in;
}

TEST(Rounding, ToIntegerRefusesWhatDoesNotFit) {
    EXPECT_EQ(mainMod::ToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(mainMod::ToInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(mainMod::ToInt32(-2147483648.5), -2147483647 - 1);  // the even neighbour
    EXPECT_EQ(mainMod::ToInt32(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(mainMod::ToInt32(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

}  // namespace

// Profile reading through GetPrivateProfileStringW: the shared table of INI files, written to a
// file of their own and read with a buffer of 255 characters.
#include "platform/profile.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"
#include "tests/common/ini_cases.hpp"

// Test names in listings show the case's name instead of its bytes.
inline void PrintTo(const IniCase& c, std::ostream* out) {
    *out << c.name;
}

namespace {

using vistrelle_test::TempDir;
using vistrelle_test::U16Path;

std::string Printable(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) {
        if (c >= 0x20 && c < 0x7F)
            out.push_back(static_cast<char>(c));
        else
            out += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
    return out;
}

class ProfileCases : public testing::TestWithParam<IniCase> {};

TEST_P(ProfileCases, ReadsTheValueWindowsGives) {
    const IniCase& c = GetParam();
    TempDir dir;
    const auto file = dir.Write(L"option.ini", c.bytes);
    const auto value = platform::profile::ReadString(U16Path(file), c.section, c.key, 255);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, c.expected) << "read \"" << Printable(*value) << "\", expected \""
                                  << Printable(c.expected) << "\"";
}

INSTANTIATE_TEST_SUITE_P(Profile, ProfileCases, testing::ValuesIn(IniCases()),
                         [](const testing::TestParamInfo<IniCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Profile, MissingFileGivesEmptyText) {
    TempDir dir;
    const auto value =
        platform::profile::ReadString(U16Path(dir.Path() / L"none.ini"), u"Main", u"Font", 255);
    EXPECT_EQ(value, std::u16string());
}

TEST(Profile, AtMostCapacityLessOneCharactersArrive) {
    TempDir dir;
    const auto file = dir.Write(L"option.ini", "[Main]\r\nFont=abcdefghij\r\n");
    EXPECT_EQ(platform::profile::ReadString(U16Path(file), u"Main", u"Font", 5),
              std::u16string(u"abcd"));
    EXPECT_EQ(platform::profile::ReadString(U16Path(file), u"Main", u"Font", 1), std::u16string());
    EXPECT_EQ(platform::profile::ReadString(U16Path(file), u"Main", u"Font", 0), std::u16string());
}

}  // namespace

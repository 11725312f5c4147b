#include "platform/recording/ini_reader.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/common/ini_cases.hpp"

namespace {

using platform::profile::DecodeWindows1252;
using platform::profile::LookUpValue;
using namespace std::string_literals;

// --- The table shared with the Win32 platform test ------------------------------------------

class SharedIniCase : public testing::TestWithParam<IniCase> {};

TEST_P(SharedIniCase, ReadsAsThePlatformReader) {
    const IniCase& c = GetParam();
    EXPECT_EQ(LookUpValue(c.bytes, c.section, c.key, 255), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SharedIniCase, testing::ValuesIn(IniCases()),
                         [](const testing::TestParamInfo<IniCase>& info) {
                             return std::string(info.param.name);
                         });

// --- Behaviours outside the shared table --------------------------------------------------
// Where Wine 8 is named below, its reader was run on the same bytes.

TEST(IniReader, CapacityCutsTheValue) {
    const std::string file = "[Main]\r\nFont=Arial\r\n";
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 0), u"");
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 1), u"");
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 2), u"A");
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 5), u"Aria");
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 6), u"Arial");
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 1000), u"Arial");
}

TEST(IniReader, QuotesGoBeforeTheCut) {
    // Wine 8 gives "Aria" for capacity 6 (it cuts one character too many when the text
    // between the quotes has exactly capacity - 1 characters); the rule keeps all five.
    const std::string file = "[Main]\r\nFont='Arial'\r\n";
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 6), u"Arial");
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 5), u"Aria");
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 7), u"Arial");
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=\"ab\"\r\n", u"Main", u"Font", 2), u"a");
}

TEST(IniReader, LatinGreekAndCyrillicLettersMatchInEitherCase) {
    // Windows compares these without regard to case; Wine 8 only ASCII letters.
    EXPECT_EQ(LookUpValue("[\xC9T\xC9]\r\nCL\xC9=v\r\n", u"été", u"clé", 255), u"v");
    EXPECT_EQ(LookUpValue("[\xFF]\r\nFont=v\r\n", u"Ÿ", u"Font", 255), u"v");
    const std::u16string text = u"[ΑΒΓ ΆΈ]\r\nШРИФТ=v\r\n[Őrző Ĺ]\r\nKey=w\r\n";
    const std::string utf16 = ini_cases_detail::Utf16Le(text);
    EXPECT_EQ(LookUpValue(utf16, u"αβγ άέ", u"шрифт", 255), u"v");
    EXPECT_EQ(LookUpValue(utf16, u"őRZŐ ĺ", u"key", 255), u"w");
    // Letters of other scripts and other characters must match exactly.
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=v\r\n", u"Ｍain", u"Font", 255), u"");
    EXPECT_EQ(LookUpValue("[\xD7]\r\nFont=v\r\n", u"÷", u"Font", 255), u"");
}

TEST(IniReader, EmptySectionNameFindsTheBracketPairNotTheLinesBeforeAnySection) {
    // Windows (Wine's own conformance test, marked todo_wine): "" names the section "[]";
    // Wine 8 answers with the keys before the first section instead.
    const std::string file = "Font=before\r\n[]\r\nFont=empty\r\n[Main]\r\nFont=main\r\n";
    EXPECT_EQ(LookUpValue(file, u"", u"Font", 255), u"empty");
    EXPECT_EQ(LookUpValue("Font=before\r\n[Main]\r\nSize=9\r\n", u"", u"Font", 255), u"");
}

TEST(IniReader, EmptyKeyNameFindsALineStartingWithEquals) {
    // Windows and Wine 8 alike.
    EXPECT_EQ(LookUpValue("[s]\r\n=val_no_key\r\n[t]\r\n", u"s", u"", 255), u"val_no_key");
    EXPECT_EQ(LookUpValue("[s]\r\nkey=x\r\n", u"s", u"", 255), u"");
}

TEST(IniReader, KeyWithoutEqualsSignHidesLaterLinesOfTheKey) {
    // Wine 8's behaviour; not checked on Windows.
    EXPECT_EQ(LookUpValue("[Main]\r\nFont\r\nFont=Arial\r\n", u"Main", u"Font", 255), u"");
    EXPECT_EQ(LookUpValue("[Main]\r\nFontless\r\nFont=Arial\r\n", u"Main", u"Font", 255), u"Arial");
}

TEST(IniReader, SectionNameRunsToTheLastClosingBracket) {
    // Wine 8.
    EXPECT_EQ(LookUpValue("[Ma]in]\r\nFont=A\r\n", u"Ma]in", u"Font", 255), u"A");
    EXPECT_EQ(LookUpValue("[Main] ;x]\r\nFont=A\r\n", u"Main", u"Font", 255), u"");
    EXPECT_EQ(LookUpValue("[[Main]]\r\nFont=A\r\n", u"[Main]", u"Font", 255), u"A");
    EXPECT_EQ(LookUpValue("[Main]\r\n[Font=A\r\n", u"Main", u"[Font", 255), u"A");
}

TEST(IniReader, BlanksAreAsciiWhiteSpaceAndControlZ) {
    // Wine 8 drops VT, FF and ^Z (DOS end of file) like spaces, but not a no-break space.
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=\013Arial\014\032\r\n", u"Main", u"Font", 255), u"Arial");
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=Arial\x1A", u"Main", u"Font", 255), u"Arial");
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=\240Arial\240\r\n", u"Main", u"Font", 255),
              u"\u00A0Arial\u00A0");
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=A\r\n", u"Main", u"Font\u00A0", 255), u"");
}

TEST(IniReader, NulEndsNamesInTheFileAndNamesAsked) {
    // Wine 8 keeps names as NUL-terminated strings.
    EXPECT_EQ(LookUpValue("[Main]\r\nFont\0xyz=Arial\r\n"s, u"Main", u"Font", 255), u"Arial");
    EXPECT_EQ(LookUpValue("[Ma\0in]\r\nFont=A\r\n"s, u"Ma", u"Font", 255), u"A");
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=A\r\n", u"Main\0Other"s, u"Font\0x"s, 255), u"A");
    EXPECT_EQ(LookUpValue("[Main]\r\nFont='a\0'\r\n"s, u"Main", u"Font", 255), u"'a");
}

TEST(IniReader, Utf16OddLastByteIsDropped) {
    std::string le = "\xFF\xFE[\0M\0a\0i\0n\0]\0\r\0\n\0F\0o\0n\0t\0=\0A\0B\0"s;
    EXPECT_EQ(LookUpValue(le + "X", u"Main", u"Font", 255), u"AB");
    std::string be = "\xFE\xFF\0[\0M\0a\0i\0n\0]\0\r\0\n\0F\0o\0n\0t\0=\0A\0B"s;
    EXPECT_EQ(LookUpValue(be + "X", u"Main", u"Font", 255), u"AB");
}

TEST(IniReader, CharactersBeyondTheBasicPlane) {
    // U+1F600 as a surrogate pair from UTF-16 and from UTF-8.
    EXPECT_EQ(LookUpValue("\xFF\xFE"
                          "[\0M\0]\0\n\0K\0=\0\x3D\xD8\x00\xDE"s,
                          u"M", u"K", 255),
              u"\U0001F600");
    EXPECT_EQ(LookUpValue("\xEF\xBB\xBF[M]\nK=a\xF0\x9F\x98\x80z", u"M", u"K", 255),
              u"a\U0001F600z");
    // A lone surrogate in a UTF-16 file passes through.
    EXPECT_EQ(LookUpValue("\xFF\xFE[\0M\0]\0\n\0K\0=\0\x00\xD8"s, u"M", u"K", 255),
              std::u16string(1, char16_t{0xD800}));
}

TEST(IniReader, InvalidUtf8BecomesReplacementCharacters) {
    // The same U+FFFD pieces as Wine 8's MultiByteToWideChar(CP_UTF8) gives.
    struct Case {
        std::string value;
        std::u16string expected;
    };
    const Case cases[] = {
        {"a\xFFz", u"a\uFFFDz"},
        {"a\xC0\xAFz", u"a\uFFFD\uFFFDz"},      // overlong, C0 is never a lead byte
        {"a\xED\xA0\x80z", u"a\uFFFD\uFFFDz"},  // a surrogate
        {"a\xE0\x80\x80z", u"a\uFFFD\uFFFDz"},  // overlong three-byte form
        {"a\xF0\x80\x80\x80z", u"a\uFFFD\uFFFD\uFFFDz"},
        {"a\xF4\x90\x80\x80z", u"a\uFFFD\uFFFD\uFFFDz"},  // beyond U+10FFFF
        {"a\xF5\x80\x80\x80z", u"a\uFFFD\uFFFD\uFFFD\uFFFDz"},
        {"a\xE4\xB8z", u"a\uFFFDz"},  // cut short before another character
        {"a\xC2\x80z", u"a\u0080z"},
        {"a\xEF\xBF\xBFz", u"a\uFFFFz"},
        {"a\xF4\x8F\xBF\xBFz", u"a\U0010FFFFz"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LookUpValue("\xEF\xBB\xBF[M]\r\nK=" + c.value + "\r\n", u"M", u"K", 255),
                  c.expected)
            << testing::PrintToString(c.value);
    }
    // A sequence cut off by the end of the file takes the rest of the file with it.
    EXPECT_EQ(LookUpValue("\xEF\xBB\xBF[M]\r\nK=a\xE4z", u"M", u"K", 255), u"a\uFFFD");
    EXPECT_EQ(LookUpValue("\xEF\xBB\xBF[M]\r\nK=a\xF0\x9F\x98", u"M", u"K", 255), u"a\uFFFD");
}

std::u16string FakeAnsi(std::string_view bytes) {
    std::u16string out;
    for (const char c : bytes) out.push_back(c == '#' ? u'字' : static_cast<char16_t>(c));
    return out;
}

TEST(IniReader, AnsiDecoderReadsOnlyFilesWithoutByteOrderMark) {
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=#\r\n", u"Main", u"Font", 255, FakeAnsi), u"字");
    EXPECT_EQ(LookUpValue("\xEF\xBB\xBF[Main]\r\nFont=#\r\n", u"Main", u"Font", 255, FakeAnsi),
              u"#");
    // A null decoder stands for the default one.
    EXPECT_EQ(LookUpValue("[Main]\r\nFont=Caf\xE9\r\n", u"Main", u"Font", 255, nullptr), u"Café");
}

TEST(IniReader, LongFileWithTheKeyAtTheEnd) {
    std::string file = "[Main]\r\n";
    for (int i = 0; i < 20000; ++i) file += "Key" + std::to_string(i) + "=value\r\n";
    file += "Font=Last\r\n";
    EXPECT_EQ(LookUpValue(file, u"Main", u"Font", 255), u"Last");
    EXPECT_EQ(LookUpValue(file, u"Main", u"key19999", 255), u"value");
}

TEST(DecodeWindows1252, MatchesTheCodePage) {
    // Checked byte for byte against Wine 8's MultiByteToWideChar(1252).
    for (int b = 0; b < 0x100; b = b == 0x7F ? 0xA0 : b + 1) {
        EXPECT_EQ(DecodeWindows1252(std::string(1, static_cast<char>(b))),
                  std::u16string(1, static_cast<char16_t>(b)));
    }
    EXPECT_EQ(DecodeWindows1252("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"),
              u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021"
              u"\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F");
    EXPECT_EQ(DecodeWindows1252("\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F"),
              u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
              u"\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");
    EXPECT_EQ(DecodeWindows1252(""), u"");
}

}  // namespace

// Fuzz target: the settings path of the program's start. Arbitrary bytes stand for option.ini;
// the values the program asks for are looked up with the portable profile reader and handed
// to the conversions as the start-up does. Besides the sanitizers' checks, the reader's and the
// conversions' own promises are checked, and a broken one aborts with what was expected.
//
// The first byte picks the reader's buffer capacity, the rest is the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/conversions.hpp"
#include "platform/recording/ini_reader.hpp"

namespace {

struct Option {
    std::u16string_view section, key;
};

// What the start-up reads, and a few names that only differ in blanks or letter case.
constexpr Option kOptions[] = {
    {u"Main", u"Font"},         {u"Main", u"Size"},
    {u"Main", u"Color1"},       {u"Main", u"Color2"},
    {u"Main", u"ShowFileName"}, {u"Shadow", u"OffSet"},
    {u" main\t", u"SIZE "},     {u"", u""},
};

constexpr std::size_t kCapacities[] = {0, 1, 2, 3, 8, 255, 256, 4096};

[[noreturn]] void Fail(const char* what, long long expected, long long got) {
    std::fprintf(stderr, "broken promise: %s: expected %lld, got %lld\n", what, expected, got);
    std::abort();
}

void CheckConversions(std::u16string_view text) {
    const auto i16 = mainMod::TextToInt16(text);
    const auto i32 = mainMod::TextToInt32(text);
    const auto b = mainMod::TextToBool(text);
    // A 16-bit result is also a 32-bit one, with the same value.
    if (i16 && (!i32 || *i32 != *i16))
        Fail("TextToInt32 of a 16-bit number", *i16, i32 ? *i32 : -1);
    // A 32-bit result inside the 16-bit range is also a 16-bit one.
    if (i32 && *i32 >= -32768 && *i32 <= 32767 && (!i16 || *i16 != *i32))
        Fail("TextToInt16 of a number in range", *i32, i16 ? *i16 : -1);
    // Every number is also a truth value, and the truth values are the two of the program.
    if (i32 && !b) Fail("TextToBool of a number (1 = converted)", 1, 0);
    if (b && *b != mainMod::kTrue && *b != mainMod::kFalse)
        Fail("TextToBool value", mainMod::kTrue, *b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t capacity = kCapacities[data[0] % std::size(kCapacities)];
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);

    for (const Option& option : kOptions) {
        const std::u16string value =
            platform::profile::LookUpValue(file, option.section, option.key, capacity);
        const std::size_t most = capacity == 0 ? 0 : capacity - 1;
        if (value.size() > most)
            Fail("value length at most capacity - 1", static_cast<long long>(most),
                 static_cast<long long>(value.size()));
        if (value.find(u'\0') != std::u16string::npos)
            Fail("no NUL inside a value (position)", -1, static_cast<long long>(value.find(u'\0')));
        CheckConversions(value);
    }

    // The conversions alone, on the bytes read as UTF-16 text: characters far from digits too.
    std::u16string wide;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        wide.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    CheckConversions(wide);
    CheckConversions(platform::profile::DecodeWindows1252(file));
    return 0;
}

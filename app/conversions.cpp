#include "app/conversions.hpp"

#include <cmath>
#include <limits>

namespace mainMod {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A number read from text, exactly: the magnitude's integer part (saturated once it is far
// beyond any target range) and how its fraction compares with one half.
struct Number {
    bool negative = false;
    std::uint64_t integer = 0;
    int half = 0;  // -1 below one half, 0 exactly one half, 1 above
    bool nonzero = false;
};

constexpr std::uint64_t kSaturated = std::uint64_t{1} << 40;

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

std::optional<Number> ParseNumber(std::u16string_view text) {
    std::u16string_view s = Trim(text);
    Number n;
    if (s.size() >= 2 && s[0] == u'&' && (s[1] == u'H' || s[1] == u'h')) {
        s.remove_prefix(2);
        if (s.empty()) return std::nullopt;
        for (char16_t c : s) {
            int v = HexValue(c);
            if (v < 0) return std::nullopt;
            n.integer =
                std::min<std::uint64_t>(n.integer * 16 + static_cast<unsigned>(v), kSaturated);
            n.nonzero = n.nonzero || v != 0;
        }
        n.half = -1;
        return n;
    }
    if (!s.empty() && (s[0] == u'+' || s[0] == u'-')) {
        n.negative = s[0] == u'-';
        s.remove_prefix(1);
    }
    std::size_t i = 0;
    bool digits = false;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
        n.integer = std::min<std::uint64_t>(n.integer * 10 + (s[i] - u'0'), kSaturated);
        n.nonzero = n.nonzero || s[i] != u'0';
        digits = true;
    }
    n.half = -1;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        bool first = true;
        bool restNonzero = false;
        int firstDigit = 0;
        for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
            if (first)
                firstDigit = s[i] - u'0';
            else
                restNonzero = restNonzero || s[i] != u'0';
            n.nonzero = n.nonzero || s[i] != u'0';
            first = false;
            digits = true;
        }
        if (firstDigit > 5 || (firstDigit == 5 && restNonzero))
            n.half = 1;
        else if (firstDigit == 5)
            n.half = 0;
    }
    if (!digits || i != s.size()) return std::nullopt;
    return n;
}

template <typename Int>
std::optional<Int> ToInteger(std::u16string_view text) {
    std::optional<Number> n = ParseNumber(text);
    if (!n) return std::nullopt;
    std::uint64_t m = n->integer;
    if (n->half > 0 || (n->half == 0 && (m & 1))) ++m;
    const std::int64_t v =
        n->negative ? -static_cast<std::int64_t>(m) : static_cast<std::int64_t>(m);
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(v);
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return true;
}

template <typename Int>
std::optional<Int> RoundChecked(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = RoundHalfEven(v);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(r);
}

}  // namespace

std::optional<std::int16_t> TextToInt16(std::u16string_view text) {
    return ToInteger<std::int16_t>(text);
}

std::optional<std::int32_t> TextToInt32(std::u16string_view text) {
    return ToInteger<std::int32_t>(text);
}

std::optional<VbBool> TextToBool(std::u16string_view text) {
    std::u16string_view s = Trim(text);
    if (EqualsIgnoreCase(s, u"true")) return kTrue;
    if (EqualsIgnoreCase(s, u"false")) return kFalse;
    std::optional<Number> n = ParseNumber(s);
    if (!n) return std::nullopt;
    return n->nonzero ? kTrue : kFalse;
}

double RoundHalfEven(double v) {
    const double r = std::round(v);  // halves away from zero
    if (std::fabs(v - std::trunc(v)) == 0.5) return 2.0 * std::round(v / 2.0);
    return r;
}

std::optional<std::int32_t> ToInt32(double v) {
    return RoundChecked<std::int32_t>(v);
}

}  // namespace mainMod

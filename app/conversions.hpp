// Conversions of settings text to numbers and truth values, and of floating values to
// integers. Each returns empty when the conversion fails, so that the caller assigns nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/units.hpp"

namespace mainMod {

// Truth values are 16-bit: true is all bits set.
using VbBool = std::int16_t;
inline constexpr VbBool kTrue = -1;
inline constexpr VbBool kFalse = 0;

// Text to integer: blanks around it are ignored; an optional sign and decimal digits with an
// optional fraction (rounded to the nearest integer, an exact half to the even neighbour), or
// "&H" and hexadecimal digits. Out of range, empty or anything else fails.
std::optional<std::int16_t> TextToInt16(std::u16string_view text);
std::optional<std::int32_t> TextToInt32(std::u16string_view text);
// Text to truth value: True or False in any letter case, or a number (zero is false).
std::optional<VbBool> TextToBool(std::u16string_view text);

// Nearest integer, an exact half to the even neighbour.
double RoundHalfEven(double v);
// Rounded and range-checked; empty for NaN, infinities and values out of range.
std::optional<std::int32_t> ToInt32(double v);
// The same for a length: a whole count of its unit.
template <class Unit>
std::optional<units::Length<Unit, std::int32_t>> ToInt32(units::Length<Unit> v) {
    const auto whole = ToInt32(v.Value());
    if (!whole) return std::nullopt;
    return units::Length<Unit, std::int32_t>(*whole);
}

}  // namespace mainMod

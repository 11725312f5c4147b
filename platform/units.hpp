// The three lengths of the program, told apart by the compiler. Twips (1440 to the inch) place
// and size the windows; design pixels (1/96 inch) are what the surfaces measure and draw in, so
// that every figure is that of a 96-dpi screen; the screen's own pixels are what a picture is
// scaled to. Every display-scale fault so far was one of these passed for another unseen, so a
// length changes unit only through a twips-per-pixel ratio or a dpi, below.
#pragma once

#include <concepts>
#include <cstdint>

namespace units {

template <class UnitTag, class Rep = double>
class Length {
  public:
    using Unit = UnitTag;

    constexpr Length() = default;
    constexpr explicit Length(Rep value) : value_(value) {}
    // A whole count of a unit is exactly that many of it, so it widens without being asked.
    template <std::integral Whole>
    constexpr Length(Length<UnitTag, Whole> whole) requires std::floating_point<Rep>
        : value_(static_cast<Rep>(whole.Value())) {}

    constexpr Rep Value() const { return value_; }

    friend constexpr Length operator+(Length a, Length b) { return Length(a.value_ + b.value_); }
    friend constexpr Length operator-(Length a, Length b) { return Length(a.value_ - b.value_); }
    friend constexpr Length operator-(Length a) { return Length(-a.value_); }
    friend constexpr Length operator*(Length a, Rep k) { return Length(a.value_ * k); }
    friend constexpr Length operator*(Rep k, Length a) { return Length(k * a.value_); }
    friend constexpr Length operator/(Length a, Rep k) { return Length(a.value_ / k); }
    constexpr Length& operator+=(Length b) {
        value_ += b.value_;
        return *this;
    }
    friend constexpr bool operator==(Length a, Length b) { return a.value_ == b.value_; }
    friend constexpr bool operator<(Length a, Length b) { return a.value_ < b.value_; }
    friend constexpr bool operator<=(Length a, Length b) { return a.value_ <= b.value_; }
    friend constexpr bool operator>(Length a, Length b) { return a.value_ > b.value_; }
    friend constexpr bool operator>=(Length a, Length b) { return a.value_ >= b.value_; }

  private:
    Rep value_{};
};

using Twips = Length<struct TwipsUnit>;
using DesignPixels = Length<struct DesignPixelUnit>;
using ScreenPixels = Length<struct ScreenPixelUnit>;
// A 32-bit signed count of a unit, as the shared state keeps its sizes and rectangles.
template <class L>
using Whole = Length<typename L::Unit, std::int32_t>;

inline constexpr double kTwipsPerInch = 1440;
inline constexpr int kDesignDpi = 96;

// How many twips one pixel of a kind covers: 15 of the program's pixels, 1440 / dpi of the
// screen's. Dividing twips by it gives pixels; multiplying pixels by it gives twips.
template <class Pixels>
class TwipsPer {
  public:
    constexpr explicit TwipsPer(double twips) : twips_(twips) {}
    constexpr double Value() const { return twips_; }

    friend constexpr Pixels operator/(Twips t, TwipsPer r) { return Pixels(t.Value() / r.twips_); }
    friend constexpr Twips operator*(Pixels p, TwipsPer r) { return Twips(p.Value() * r.twips_); }
    friend constexpr bool operator==(TwipsPer, TwipsPer) = default;

  private:
    double twips_;
};
using TwipsPerPixel = TwipsPer<DesignPixels>;
using TwipsPerScreenPixel = TwipsPer<ScreenPixels>;

// The screen's pixels at a dpi and back, reckoned as dpi / 1440 of a twip (and dpi / 96 of a
// design pixel) so that whole twips of a 96-dpi figure land on whole pixels exactly.
constexpr ScreenPixels OnScreen(Twips t, int dpi) {
    return ScreenPixels(t.Value() * dpi / kTwipsPerInch);
}
constexpr ScreenPixels OnScreen(DesignPixels p, int dpi) {
    return ScreenPixels(p.Value() * dpi / kDesignDpi);
}
constexpr Twips TwipsOf(ScreenPixels p, int dpi) {
    return Twips(p.Value() * kTwipsPerInch / dpi);
}
constexpr DesignPixels DesignOf(ScreenPixels p, int dpi) {
    return DesignPixels(p.Value() * kDesignDpi / dpi);
}

namespace literals {
constexpr Whole<Twips> operator""_tw(unsigned long long v) {
    return Whole<Twips>(static_cast<std::int32_t>(v));
}
constexpr Twips operator""_tw(long double v) {
    return Twips(static_cast<double>(v));
}
constexpr Whole<DesignPixels> operator""_px(unsigned long long v) {
    return Whole<DesignPixels>(static_cast<std::int32_t>(v));
}
constexpr DesignPixels operator""_px(long double v) {
    return DesignPixels(static_cast<double>(v));
}
}  // namespace literals

}  // namespace units

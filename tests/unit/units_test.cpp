// The three lengths never pass for one another: no pair below converts, adds or compares.
// Checked as the tests are built, so a length that slipped stops the build.
#include "platform/units.hpp"

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "platform/windows.hpp"

namespace {

using units::DesignPixels, units::ScreenPixels, units::Twips, units::Whole;

template <class A, class B>
concept Mixes = std::is_convertible_v<A, B> || requires(A a, B b) {
    a + b;
} || requires(A a, B b) {
    a == b;
};
template <class... Pairs>
constexpr bool kApart = (!Mixes<typename Pairs::first_type, typename Pairs::second_type> && ...);

static_assert(
    kApart<std::pair<Twips, DesignPixels>, std::pair<DesignPixels, Twips>,
           std::pair<Twips, ScreenPixels>, std::pair<ScreenPixels, Twips>,
           std::pair<DesignPixels, ScreenPixels>, std::pair<ScreenPixels, DesignPixels>,
           std::pair<Whole<Twips>, Whole<DesignPixels>>, std::pair<Whole<Twips>, DesignPixels>,
           std::pair<double, Twips>, std::pair<Twips, double>>);
// A whole count widens to its own unit, not back; a ratio turns twips into its pixels only.
static_assert(std::is_convertible_v<Whole<Twips>, Twips> &&
              !std::is_convertible_v<Twips, Whole<Twips>>);
static_assert(std::is_same_v<decltype(Twips() / units::TwipsPerPixel(15)), DesignPixels>);
static_assert(std::is_same_v<decltype(Twips() / units::TwipsPerScreenPixel(15)), ScreenPixels>);
static_assert(!std::is_invocable_v<std::divides<>, DesignPixels, units::TwipsPerPixel>);
static_assert(!std::is_invocable_v<std::multiplies<>, DesignPixels, units::TwipsPerScreenPixel>);
// The seam takes twips where windows stand and gives pixels where they measure.
static_assert(
    !std::is_invocable_v<decltype(&platform::windows::SetWidth), platform::Form, DesignPixels>);
static_assert(std::is_same_v<decltype(platform::windows::ScaleWidth(platform::Form::Main)),
                             std::optional<DesignPixels>>);

}  // namespace

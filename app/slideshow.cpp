#include "app/slideshow.hpp"

#include <algorithm>
#include <utility>

#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "display/folder_steps.hpp"
#include "platform/events.hpp"
#include "platform/menus.hpp"
#include "platform/windows.hpp"

namespace slideshow {

namespace {

// Beyond the window timer's longest pace (USER_TIMER_MAXIMUM, about 24 days), the longest.
constexpr std::uint32_t kLongestPace = 0x7FFFFFFF / 1000;

mainMod::SlideshowState& State() {
    return mainMod::shared.slideshow;
}

}  // namespace

std::optional<std::int16_t> ItemOfPace(std::uint32_t seconds) {
    const auto* at = std::ranges::find(kPaces, seconds);
    if (at == std::end(kPaces)) return std::nullopt;
    return static_cast<std::int16_t>(at - std::begin(kPaces));
}

void SetPace(std::uint32_t seconds) {
    State().due = false;
    const std::uint32_t pace = State().pace = std::min(seconds, kLongestPace);
    if (pace)
        platform::StartTimer(pace * 1000);
    else
        platform::StopTimer();
    const std::optional<std::int16_t> item = ItemOfPace(pace);
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(std::size(kPaces)); ++i)
        platform::menus::SetChecked(menu_names::mnuSlide(i), item == i);
}

void SetShuffle(bool on) {
    State().shuffle = on;
    platform::menus::SetChecked(menu_names::mnuSlide(kShuffleItem), on);
}

void LoadSettings() {
    // Missing, unreadable or not above zero: off.
    const auto seconds = mainMod::TextToInt32(mainMod::ReadOption(u"Slideshow", u"Interval"));
    SetPace(seconds && *seconds > 0 ? static_cast<std::uint32_t>(*seconds) : 0);
    const auto on = mainMod::TextToBool(mainMod::ReadOption(u"Slideshow", u"Shuffle"));
    SetShuffle(on && *on != mainMod::kFalse);
}

void Tick() {
    mainMod::SlideshowState& s = State();
    if (!s.pace) return;
    if (s.holds > 0 || platform::windows::PointerOver(platform::Form::Main)) {
        // Delayed, not dropped: tried again soon, until the wait ends.
        if (!std::exchange(s.due, true)) platform::StartTimer(kRetryMilliseconds);
        return;
    }
    if (std::exchange(s.due, false)) platform::StartTimer(s.pace * 1000);
    if (s.shuffle)
        folder_steps::StepShuffled();
    else
        folder_steps::StepTo(platform::Step::Next);
}

Hold::Hold() {
    ++State().holds;
}
Hold::~Hold() {
    --State().holds;
}

}  // namespace slideshow

namespace frmMain {

void mnuSlide_Click(std::int16_t Index) {
    if (Index >= 0 && Index < static_cast<std::int16_t>(std::size(slideshow::kPaces)))
        slideshow::SetPace(slideshow::kPaces[Index]);
    else if (Index == slideshow::kShuffleItem)
        slideshow::SetShuffle(
            !platform::menus::Checked(menu_names::mnuSlide(Index)).value_or(false));
}

void Form_Timer() {
    slideshow::Tick();
}

void Form_StepKey(platform::Step step) {
    folder_steps::StepTo(step);
}

void Form_FolderChanged() {
    folder_steps::FolderChanged();
}

}  // namespace frmMain

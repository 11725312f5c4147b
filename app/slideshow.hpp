// The slideshow: the frame steps through its folder at a chosen pace, on the picture window's
// one timer, which runs only while the slideshow is on. It waits while the pointer rests on
// the frame itself, while the popup menu is open and while the frame is dragged: a step that
// comes due then is made once the wait ends, and the pace counts again from it.
#pragma once

#include <cstdint>
#include <optional>

namespace slideshow {

// The paces of the slideshow submenu's items 0 to 5, in seconds; 0 is off.
inline constexpr std::uint32_t kPaces[] = {0, 5, 30, 60, 600, 3600};
inline constexpr std::int16_t kShuffleItem = 7;

// The index of the submenu item for a pace, empty for a pace the menu does not offer.
std::optional<std::int16_t> ItemOfPace(std::uint32_t seconds);

// Starts the slideshow at a pace in seconds (0 stops it) and marks the pace's item.
void SetPace(std::uint32_t seconds);
// Shuffled steps instead of the next picture; marks the shuffle item.
void SetShuffle(bool on);
// Reads [Slideshow] Interval and Shuffle from option.ini and starts accordingly.
void LoadSettings();

// How soon a step that came due during a wait is tried again, in milliseconds.
inline constexpr std::uint32_t kRetryMilliseconds = 500;

// The pace came due: one step, or, while the slideshow waits, one step as soon as it may.
void Tick();

// While one lives (a menu open, a drag), the slideshow waits.
class Hold {
  public:
    Hold();
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
};

}  // namespace slideshow

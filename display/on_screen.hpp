// Rectangles on the monitors: whether they meet, which monitor is nearest, and how far a frame
// moves to lie within a work area. Used when the displays change and when a remembered frame
// comes back.
#pragma once

#include <optional>
#include <vector>

#include "platform/types.hpp"
#include "platform/windows.hpp"

namespace on_screen {

bool Overlap(const platform::TwipsRect& a, const platform::TwipsRect& b);

// The monitor whose rectangle `r` overlaps most, or else the one nearest to it; empty when no
// monitor is known.
std::optional<std::size_t> Nearest(const platform::TwipsRect& r,
                                   const std::vector<platform::windows::Monitor>& monitors);

// How far `frame` moves to lie within `work`: to its top-left part when it is larger.
platform::Twips ShiftX(const platform::TwipsRect& frame, const platform::TwipsRect& work);
platform::Twips ShiftY(const platform::TwipsRect& frame, const platform::TwipsRect& work);

}  // namespace on_screen

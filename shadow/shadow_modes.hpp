// The shadow modes: how far the shadow window reaches beyond the picture window in each.
// Modes 0 to 2 draw a shadow of growing width; mode 3 hides it and keeps the last margins.
#pragma once

#include <cstdint>
#include <optional>

#include "app/main_mod.hpp"

namespace shadow_modes {

inline constexpr std::int16_t kNoShadow = 3;

// Margins of modes 0 to 2; empty for mode 3 and anything else.
constexpr std::optional<mainMod::ShadowBoxRecord> Margins(std::int32_t mode) {
    using namespace units::literals;
    switch (mode) {
        case 0:
            return mainMod::ShadowBoxRecord{};
        case 1:
            return mainMod::ShadowBoxRecord{25_tw, 50_tw, 25_tw, 50_tw};
        case 2:
            return mainMod::ShadowBoxRecord{50_tw, 100_tw, 50_tw, 100_tw};
        default:
            return std::nullopt;
    }
}

}  // namespace shadow_modes

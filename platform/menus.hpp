// The popup menu tree of the picture window, built from resources/menu_items.hpp.
#pragma once

#include <optional>

#include "platform/types.hpp"
#include "resources/menu_items.hpp"

namespace platform::menus {

using resources::MenuItem;

bool SetChecked(MenuItem item, bool checked);
std::optional<bool> Checked(MenuItem item);

// Opens the popup at `at`, or at the pointer when it is empty, and returns when it is
// dismissed. The chosen item reaches the program as a menu click event.
bool Popup(std::optional<ScreenPoint> at);

}  // namespace platform::menus

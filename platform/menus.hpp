// The popup menu tree of the picture window, built from resources/menu_items.hpp.
#pragma once

#include <optional>

#include "resources/menu_items.hpp"

namespace platform::menus {

using resources::MenuItem;

bool SetChecked(MenuItem item, bool checked);
std::optional<bool> Checked(MenuItem item);

// Opens the popup at the pointer and returns when it is dismissed. The chosen item reaches
// the program as a menu click event.
bool Popup();

}  // namespace platform::menus

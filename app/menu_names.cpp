#include "app/menu_names.hpp"

#include "platform/menus.hpp"

namespace menu_names {

void CheckOnly(MenuItem item) {
    // The menu table lists each array's items in index order.
    for (const resources::MenuEntry& e : resources::MenuTable())
        if (e.item.array == item.array) platform::menus::SetChecked(e.item, e.item == item);
}

}  // namespace menu_names

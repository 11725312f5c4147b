// Recording backend: check marks of the popup menu, by command id.
#include "platform/menus.hpp"

#include "platform/recording/recorder.hpp"

namespace platform::menus {

using recording::Rec;

namespace {

std::string ItemName(MenuItem item) {
    static const char* const kArrays[] = {"mnuOP", "mnuSize", "mnuTrs", "mnuShadow", "mnuSlide"};
    return std::string(kArrays[static_cast<int>(item.array)]) + "(" + std::to_string(item.index) +
           ")";
}

bool Known(MenuItem item) {
    return resources::FindMenuEntry(resources::CommandId(item));
}

}  // namespace

bool SetChecked(MenuItem item, bool checked) {
    if (!Rec().Record("SetChecked(" + ItemName(item) + "," + (checked ? "1" : "0") + ")") ||
        !Known(item))
        return false;
    Rec().checked[resources::CommandId(item)] = checked;
    return true;
}

std::optional<bool> Checked(MenuItem item) {
    if (!Rec().Record("Checked(" + ItemName(item) + ")") || !Known(item)) return std::nullopt;
    auto it = Rec().checked.find(resources::CommandId(item));
    if (it != Rec().checked.end()) return it->second;
    return resources::FindMenuEntry(resources::CommandId(item))->checkedInDefinition;
}

bool Popup(std::optional<ScreenPoint> at) {
    return Rec().Record(at ? "Popup(" + std::to_string(at->x) + "," + std::to_string(at->y) + ")"
                           : std::string("Popup()"));
}

}  // namespace platform::menus

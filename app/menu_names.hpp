// The menu items under the names the handlers use: mnuOP(5), mnuSize(1), ...
#pragma once

#include <cstdint>

#include "resources/menu_items.hpp"

namespace menu_names {

using resources::MenuArray;
using resources::MenuItem;

constexpr MenuItem mnuOP(std::int16_t i) {
    return {MenuArray::OP, i};
}
constexpr MenuItem mnuSize(std::int16_t i) {
    return {MenuArray::Size, i};
}
constexpr MenuItem mnuTrs(std::int16_t i) {
    return {MenuArray::Trs, i};
}
constexpr MenuItem mnuShadow(std::int16_t i) {
    return {MenuArray::Shadow, i};
}

}  // namespace menu_names

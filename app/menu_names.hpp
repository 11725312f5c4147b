// The menu items under the names the handlers use: mnuOP(op::kShowFileName), mnuSize(1), ...
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
constexpr MenuItem mnuSlide(std::int16_t i) {
    return {MenuArray::Slide, i};
}

// The items of mnuOP that act; the others are separators and the parents of the submenus.
namespace op {
inline constexpr std::int16_t kOpenPicture = 0;
inline constexpr std::int16_t kShowFileName = 5;
inline constexpr std::int16_t kNewCopy = 7;
inline constexpr std::int16_t kAbout = 9;
inline constexpr std::int16_t kExit = 10;
// The folder's group, standing after the caption item: the next and the previous picture, the
// parent of the slideshow submenu, and the lock.
inline constexpr std::int16_t kNextPicture = 12;
inline constexpr std::int16_t kPreviousPicture = 13;
// Lock in place: while checked, a left press does not move the frame.
inline constexpr std::int16_t kLock = 15;
}  // namespace op

// "100%" of mnuTrs.
inline constexpr std::int16_t kTrsOpaque = 0;

// Checks one item and clears the other items of its array, in index order: the check marks of
// a submenu whose items exclude one another.
void CheckOnly(MenuItem item);

}  // namespace menu_names

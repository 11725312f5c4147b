// The popup menu of the picture window: every item, its caption and its command id, in the
// order the items stand on the screen. Both backends build the menu from this one table, and
// the click handlers receive the item back as (array, index).
#pragma once

#include <cstdint>
#include <span>

namespace resources {

// The five item arrays of the popup; each has one click handler that takes the index.
enum class MenuArray : std::uint8_t { OP, Size, Trs, Shadow, Slide };

struct MenuItem {
    MenuArray array;
    std::int16_t index;
    friend constexpr bool operator==(MenuItem, MenuItem) = default;
};

struct MenuEntry {
    MenuItem item;
    // Index of the mnuOP item this entry hangs under, or -1 for the root of the popup.
    std::int16_t parent;
    const char16_t* caption;  // "-" makes a separator
    bool checkedInDefinition;
};

// Command ids sent by the menu (WM_COMMAND); one block of 100 per array.
constexpr std::uint16_t kCommandBase = 1000;
constexpr std::uint16_t CommandId(MenuItem item) {
    return static_cast<std::uint16_t>(kCommandBase + 100 * static_cast<int>(item.array) +
                                      item.index);
}

// The menu's root item, never shown itself: its caption names the popup.
inline constexpr const char16_t* kPopupCaption = u"载入图片    ";

// clang-format off
inline constexpr MenuEntry kMenuTable[] = {
    {{MenuArray::OP, 0},     -1, u"打开图片...    ",  false},
    {{MenuArray::OP, 1},     -1, u"-",                false},
    {{MenuArray::OP, 2},     -1, u"更改大小...   ",   false},
    {{MenuArray::Size, 0},    2, u"小   ",            false},
    {{MenuArray::Size, 1},    2, u"默认   ",          false},
    {{MenuArray::Size, 2},    2, u"大   ",            false},
    {{MenuArray::OP, 3},     -1, u"透明...        ",  false},
    {{MenuArray::Trs, 0},     3, u"100%",             false},
    {{MenuArray::Trs, 1},     3, u" 80%",             false},
    {{MenuArray::Trs, 2},     3, u" 50%",             false},
    {{MenuArray::OP, 4},     -1, u"阴影...  ",        false},
    {{MenuArray::Shadow, 0},  4, u"Qon 偏移 0-1  ",   false},
    {{MenuArray::Shadow, 1},  4, u"Qon 偏移 2-3  ",   false},
    {{MenuArray::Shadow, 2},  4, u"Qon 偏移 4-5  ",   false},
    {{MenuArray::Shadow, 3},  4, u"无  ",             false},
    {{MenuArray::OP, 5},     -1, u"显示文件名    ",   true},
    {{MenuArray::OP, 11},    -1, u"-",                false},
    {{MenuArray::OP, 12},    -1, u"下一张    ",       false},
    {{MenuArray::OP, 13},    -1, u"上一张    ",       false},
    {{MenuArray::OP, 14},    -1, u"幻灯片...  ",      false},
    {{MenuArray::Slide, 0},  14, u"关闭   ",          false},
    {{MenuArray::Slide, 1},  14, u"5 秒   ",          false},
    {{MenuArray::Slide, 2},  14, u"30 秒   ",         false},
    {{MenuArray::Slide, 3},  14, u"1 分钟   ",        false},
    {{MenuArray::Slide, 4},  14, u"10 分钟   ",       false},
    {{MenuArray::Slide, 5},  14, u"1 小时   ",        false},
    {{MenuArray::Slide, 6},  14, u"-",                false},
    {{MenuArray::Slide, 7},  14, u"随机   ",          false},
    {{MenuArray::OP, 15},    -1, u"锁定位置    ",     false},
    {{MenuArray::OP, 6},     -1, u"-",                false},
    {{MenuArray::OP, 7},     -1, u"打开新的 VTL...",  false},
    {{MenuArray::OP, 8},     -1, u"-",                false},
    {{MenuArray::OP, 9},     -1, u"关于... ",         false},
    {{MenuArray::OP, 10},    -1, u"退出",             false},
};
// clang-format on

constexpr std::span<const MenuEntry> MenuTable() {
    return kMenuTable;
}

// The entry of a command id, or nullptr when the id names no item.
constexpr const MenuEntry* FindMenuEntry(std::uint16_t commandId) {
    for (const MenuEntry& e : kMenuTable)
        if (CommandId(e.item) == commandId) return &e;
    return nullptr;
}

}  // namespace resources

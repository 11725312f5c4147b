// The popup menu: built from the menu table with its captions, ids, submenus and check marks.
#include "platform/menus.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/popup_menu.hpp"
#include "platform/win32/text.hpp"
#include "platform/windows.hpp"
#include "resources/menu_items.hpp"

namespace {

using resources::MenuArray;
using resources::MenuEntry;
using resources::MenuItem;

std::string Describe(const MenuEntry& e) {
    return "item (" + std::to_string(static_cast<int>(e.item.array)) + "," +
           std::to_string(e.item.index) + ") id " + std::to_string(resources::CommandId(e.item));
}

TEST(Menus, EveryItemHasItsCaptionAndIdInTableOrder) {
    HMENU root = platform::win32::PopupMenuHandle();
    ASSERT_NE(root, nullptr);
    for (const MenuEntry& e : resources::MenuTable()) {
        SCOPED_TRACE(Describe(e));
        const UINT id = resources::CommandId(e.item);
        const UINT state = ::GetMenuState(root, id, MF_BYCOMMAND);
        ASSERT_NE(state, static_cast<UINT>(-1)) << "no item with this id";
        if (std::u16string_view(e.caption) == u"-") {
            EXPECT_TRUE(state & MF_SEPARATOR) << "a \"-\" caption is a separator";
            continue;
        }
        wchar_t text[128] = {};
        ASSERT_GT(::GetMenuStringW(root, id, text, 128, MF_BYCOMMAND), 0);
        EXPECT_EQ(platform::win32::U16(text), std::u16string(e.caption))
            << "captions are exact, trailing blanks included";
    }
}

TEST(Menus, SubmenusHangUnderTheirParentsInOrder) {
    HMENU root = platform::win32::PopupMenuHandle();
    // The root holds the OP items in order; the children of an OP item form its submenu.
    std::vector<UINT> rootIds, expectedRootIds;
    for (int i = 0; i < ::GetMenuItemCount(root); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID;
        ASSERT_TRUE(::GetMenuItemInfoW(root, i, TRUE, &info));
        rootIds.push_back(info.wID);
    }
    for (const MenuEntry& e : resources::MenuTable())
        if (e.parent == -1) expectedRootIds.push_back(resources::CommandId(e.item));
    EXPECT_EQ(rootIds, expectedRootIds);

    for (int i = 0; i < ::GetMenuItemCount(root); ++i) {
        const MenuEntry* parent = resources::FindMenuEntry(static_cast<std::uint16_t>(rootIds[i]));
        ASSERT_NE(parent, nullptr);
        std::vector<UINT> children, expected;
        if (HMENU sub = ::GetSubMenu(root, i))
            for (int j = 0; j < ::GetMenuItemCount(sub); ++j)
                children.push_back(::GetMenuItemID(sub, j));
        for (const MenuEntry& e : resources::MenuTable())
            if (e.parent == parent->item.index) expected.push_back(resources::CommandId(e.item));
        EXPECT_EQ(children, expected) << Describe(*parent);
    }
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(root, 2)), 3) << "the size submenu";
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(root, 4)), 4) << "the shadow submenu";
}

TEST(Menus, CheckMarksStartAsDefinedAndRoundTrip) {
    // Marks are process-wide: every change is undone before the next item.
    for (const MenuEntry& e : resources::MenuTable()) {
        if (std::u16string_view(e.caption) == u"-") continue;
        SCOPED_TRACE(Describe(e));
        const auto before = platform::menus::Checked(e.item);
        ASSERT_TRUE(before.has_value());
        ASSERT_TRUE(platform::menus::SetChecked(e.item, true));
        EXPECT_EQ(platform::menus::Checked(e.item), true);
        ASSERT_TRUE(platform::menus::SetChecked(e.item, false));
        EXPECT_EQ(platform::menus::Checked(e.item), false);
        const UINT state = ::GetMenuState(platform::win32::PopupMenuHandle(),
                                          resources::CommandId(e.item), MF_BYCOMMAND);
        EXPECT_FALSE(state & MF_CHECKED);
        ASSERT_TRUE(platform::menus::SetChecked(e.item, *before));
    }
}

TEST(Menus, OnlyShowFileNameIsCheckedInTheDefinition) {
    for (const MenuEntry& e : resources::MenuTable()) {
        if (std::u16string_view(e.caption) == u"-") continue;
        SCOPED_TRACE(Describe(e));
        // No test leaves a mark changed, so the marks are those of the definition.
        EXPECT_EQ(platform::menus::Checked(e.item), e.checkedInDefinition);
    }
    EXPECT_EQ(platform::menus::Checked({MenuArray::OP, 5}), true);
}

TEST(Menus, ItemsOutsideTheTableFail) {
    EXPECT_FALSE(platform::menus::SetChecked({MenuArray::Size, 7}, true));
    EXPECT_FALSE(platform::menus::Checked({MenuArray::Trs, 9}).has_value());
}

TEST(Menus, PopupNeedsThePictureWindow) {
    platform::windows::Destroy(platform::Form::Main);
    EXPECT_FALSE(platform::menus::Popup(std::nullopt));
    EXPECT_FALSE(platform::menus::Popup(platform::ScreenPoint{10, 10}));
}

}  // namespace

// platform::menus on Win32: the picture window's popup menu, built once from the menu table,
// with check marks by command id and TrackPopupMenu at the pointer.
#include "platform/menus.hpp"

#include <windows.h>

#include <utility>

#include "platform/diagnostics.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/popup_menu.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/windows/frame_windows.hpp"

namespace platform::win32 {

namespace {

// Appends one entry. Items that open a submenu carry their command id too, so that every item
// of the table can be found by its id (MF_BYCOMMAND finds a submenu item by id when no item of
// its submenu has that id).
bool AppendEntry(HMENU menu, const resources::MenuEntry& entry, HMENU submenu) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
    info.wID = resources::CommandId(entry.item);
    info.fState = entry.checkedInDefinition ? MFS_CHECKED : MFS_UNCHECKED;
    const std::wstring caption = Wide(entry.caption);
    if (caption == L"-") {
        info.fType = MFT_SEPARATOR;
    } else {
        info.fType = MFT_STRING;
        info.fMask |= MIIM_STRING;
        info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    }
    if (submenu) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = submenu;
    }
    if (!::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &info))
        return FailedCall("InsertMenuItemW");
    return true;
}

// The submenu of a root item, or an empty owner when no entry hangs under it.
bool BuildSubmenu(std::int16_t parent, ScopedMenu& out) {
    bool any = false;
    for (const resources::MenuEntry& e : resources::MenuTable()) any = any || e.parent == parent;
    if (!any) return true;
    ScopedMenu sub(::CreatePopupMenu());
    if (!sub.Get()) return FailedCall("CreatePopupMenu");
    for (const resources::MenuEntry& e : resources::MenuTable())
        if (e.parent == parent && !AppendEntry(sub.Get(), e, nullptr)) return false;
    out = std::move(sub);
    return true;
}

HMENU BuildPopup() {
    ScopedMenu root(::CreatePopupMenu());
    if (!root.Get()) {
        FailedCall("CreatePopupMenu");
        return nullptr;
    }
    for (const resources::MenuEntry& e : resources::MenuTable()) {
        if (e.parent != -1) continue;
        ScopedMenu sub;
        if (!BuildSubmenu(e.item.index, sub)) return nullptr;
        if (!AppendEntry(root.Get(), e, sub.Get())) return nullptr;
        sub.Release();  // the root menu owns it now
    }
    return root.Release();
}

}  // namespace

HMENU PopupMenuHandle() {
    // Built once for the whole process; it is not attached to a window, so it outlives them.
    static ScopedMenu menu(BuildPopup());
    return menu.Get();
}

}  // namespace platform::win32

namespace platform::menus {

using namespace platform::win32;

bool SetChecked(MenuItem item, bool checked) {
    HMENU menu = PopupMenuHandle();
    if (!menu) return false;
    // CheckMenuItem sets no last error; -1 means the item does not exist.
    if (::CheckMenuItem(menu, resources::CommandId(item),
                        MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)) ==
        static_cast<DWORD>(-1)) {
        diagnostics::Report("CheckMenuItem: no such item");
        return false;
    }
    return true;
}

std::optional<bool> Checked(MenuItem item) {
    HMENU menu = PopupMenuHandle();
    if (!menu) return std::nullopt;
    const UINT state = ::GetMenuState(menu, resources::CommandId(item), MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) return std::nullopt;
    return (state & MF_CHECKED) != 0;
}

bool Popup(std::optional<ScreenPoint> at) {
    HMENU menu = PopupMenuHandle();
    HWND owner = WindowOf(Form::Main);
    POINT where{};
    if (at)
        where = POINT{at->x, at->y};
    else if (!::GetCursorPos(&where))
        return FailedCall("GetCursorPos");
    if (!menu || !owner) return false;
    // TrackPopupMenu needs its owner in the foreground to close the menu when the user clicks
    // elsewhere, and a message after it so that the menu goes at once; the chosen command
    // arrives later as WM_COMMAND.
    ::SetForegroundWindow(owner);
    const BOOL shown = ::TrackPopupMenu(menu, 0, where.x, where.y, 0, owner, nullptr);
    const bool failed = !shown && FailedCall("TrackPopupMenu");
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return !failed;
}

}  // namespace platform::menus

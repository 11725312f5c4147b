// The window procedures of the four window classes. Each links its window to its slot in
// WM_NCCREATE and otherwise only forwards the messages the program handles to the named
// handlers below.
#include <windows.h>
// After <windows.h>, whose types they use.
#include <windowsx.h>

#include "platform/win32/backend.hpp"
#include "platform/win32/drop_target.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/windows.hpp"
#include "resources/menu_items.hpp"

namespace platform::win32 {

namespace {

// --- Linking a window to its slot -------------------------------------------------------------

// Handles WM_NCCREATE and WM_NCDESTROY for every class.
void LinkSlot(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* slot = static_cast<WindowSlot*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (slot) slot->hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(slot));
    } else if (msg == WM_NCDESTROY) {
        auto* slot = reinterpret_cast<WindowSlot*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (slot && slot->hwnd == hwnd) slot->hwnd = nullptr;
    }
}

// --- Handlers of the picture window -----------------------------------------------------------

void OnMainMouseDown(std::int16_t button, WPARAM keys, LPARAM pos) {
    std::int16_t shift = 0;
    if (keys & MK_SHIFT) shift |= 1;
    if (keys & MK_CONTROL) shift |= 2;
    if (::GetKeyState(VK_MENU) < 0) shift |= 4;
    const float x = static_cast<float>(GET_X_LPARAM(pos));
    const float y = static_cast<float>(GET_Y_LPARAM(pos));
    Raise([&](Events& e) { e.MouseDown(button, shift, x, y); });
}

void OnMainDblClick() {
    Raise([](Events& e) { e.DblClick(); });
}

void OnMainCommand(WPARAM wParam, LPARAM lParam) {
    // Menu commands only: no control sends notifications to this window.
    if (HIWORD(wParam) != 0 || lParam != 0) return;
    if (const resources::MenuEntry* entry = resources::FindMenuEntry(LOWORD(wParam)))
        Raise([&](Events& e) { e.MenuClick(entry->item); });
}

// The system closes the window (Alt+F4, the task bar, the end of the session). The program ends
// as on its Exit command; if its handler returns without ending the process, the windows go and
// the message loop stops, so no process is left running with hidden windows.
void OnMainSystemClose() {
    Raise([](Events& e) { e.SystemClose(); });
    if (!windows::Exists(Form::Main)) return;
    windows::Destroy(Form::Txt);
    windows::Destroy(Form::Shadow);
    windows::Destroy(Form::Main);
    ::PostQuitMessage(0);
}

void OnMainPaint(HWND hwnd) {
    ScopedPaint paint(hwnd);
    if (paint.Get()) PaintMainFromImage(hwnd, paint.Get(), paint.Area());
}

// --- Handlers of the caption's picture box ----------------------------------------------------

// Picture1 keeps no image: the program redraws it through the drawing functions, which take
// the box's DC themselves; BeginPaint/EndPaint validate the area around that.
void OnPicture1Paint(HWND hwnd) {
    ScopedPaint paint(hwnd);
    Raise([](Events& e) { e.Picture1Paint(); });
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LinkSlot(hwnd, msg, lParam);
    switch (msg) {
        case WM_LBUTTONDOWN:
            OnMainMouseDown(kLeftButton, wParam, lParam);
            return 0;
        case WM_RBUTTONDOWN:
            OnMainMouseDown(kRightButton, wParam, lParam);
            return 0;
        case WM_MBUTTONDOWN:
            OnMainMouseDown(kMiddleButton, wParam, lParam);
            return 0;
        // A quick second press of the left button, also right after the move loop.
        case WM_LBUTTONDBLCLK:
            OnMainDblClick();
            return 0;
        // With CS_DBLCLKS a quick second press of the other buttons arrives as a double click;
        // it is a press all the same and opens the menu again.
        case WM_RBUTTONDBLCLK:
            OnMainMouseDown(kRightButton, wParam, lParam);
            return 0;
        case WM_MBUTTONDBLCLK:
            OnMainMouseDown(kMiddleButton, wParam, lParam);
            return 0;
        case WM_COMMAND:
            OnMainCommand(wParam, lParam);
            return 0;
        case WM_CLOSE:
            OnMainSystemClose();
            return 0;
        case WM_ENDSESSION:
            if (wParam) OnMainSystemClose();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers the whole area from the image
        case WM_PAINT:
            OnMainPaint(hwnd);
            return 0;
        case WM_DESTROY:
            ReleaseMainResources(hwnd);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ShadowWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LinkSlot(hwnd, msg, lParam);
    if (msg == WM_DESTROY) RevokeFrameDropTarget(hwnd);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CaptionWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LinkSlot(hwnd, msg, lParam);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Picture1WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LinkSlot(hwnd, msg, lParam);
    if (msg == WM_PAINT) {
        OnPicture1Paint(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) ResetSurfaceStyle(Surface::Picture1);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace platform::win32

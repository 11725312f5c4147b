// The picture window's message handlers: presses, double clicks and menu commands become the
// program's events; the system's close ends the program; paints come from the persistent image.
#include <windows.h>
// After <windows.h>, whose types they use.
#include <windowsx.h>

#include "platform/win32/backend.hpp"
#include "platform/win32/frame_windows.hpp"
#include "platform/windows.hpp"
#include "resources/menu_items.hpp"

namespace platform::win32 {

LRESULT PictureWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            OnMouseDown(kLeftButton, wParam, lParam);
            return 0;
        case WM_RBUTTONDOWN:
            OnMouseDown(kRightButton, wParam, lParam);
            return 0;
        case WM_MBUTTONDOWN:
            OnMouseDown(kMiddleButton, wParam, lParam);
            return 0;
        // A quick second press of the left button, also right after the move loop.
        case WM_LBUTTONDBLCLK:
            Raise([](Events& e) { e.DblClick(); });
            return 0;
        // With CS_DBLCLKS a quick second press of the other buttons arrives as a double click;
        // it is a press all the same and opens the menu again.
        case WM_RBUTTONDBLCLK:
            OnMouseDown(kRightButton, wParam, lParam);
            return 0;
        case WM_MBUTTONDBLCLK:
            OnMouseDown(kMiddleButton, wParam, lParam);
            return 0;
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_CLOSE:
            OnSystemClose();
            return 0;
        case WM_ENDSESSION:
            if (wParam) OnSystemClose();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers the whole area from the image
        case WM_PAINT:
            OnPaint();
            return 0;
        default:
            return Window::OnMessage(msg, wParam, lParam);
    }
}

void PictureWindow::OnMouseDown(std::int16_t button, WPARAM keys, LPARAM pos) {
    std::int16_t shift = 0;
    if (keys & MK_SHIFT) shift |= 1;
    if (keys & MK_CONTROL) shift |= 2;
    if (::GetKeyState(VK_MENU) < 0) shift |= 4;
    const float x = static_cast<float>(GET_X_LPARAM(pos));
    const float y = static_cast<float>(GET_Y_LPARAM(pos));
    Raise([&](Events& e) { e.MouseDown(button, shift, x, y); });
}

void PictureWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Menu commands only: no control sends notifications to this window.
    if (HIWORD(wParam) != 0 || lParam != 0) return;
    if (const resources::MenuEntry* entry = resources::FindMenuEntry(LOWORD(wParam)))
        Raise([&](Events& e) { e.MenuClick(entry->item); });
}

// The system closes the window (Alt+F4, the task bar, the end of the session). The program ends
// as on its Exit command; if its handler returns without ending the process, the windows go and
// the message loop stops, so no process is left running with hidden windows.
void PictureWindow::OnSystemClose() {
    Raise([](Events& e) { e.SystemClose(); });
    if (!windows::Exists(Form::Main)) return;
    windows::Destroy(Form::Txt);
    windows::Destroy(Form::Shadow);
    windows::Destroy(Form::Main);
    ::PostQuitMessage(0);
}

void PictureWindow::OnPaint() {
    ScopedPaint paint(Handle());
    if (paint.Get()) PaintMainFromImage(Handle(), paint.Get(), paint.Area());
}

}  // namespace platform::win32

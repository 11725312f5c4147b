// The picture window's message handlers: presses, double clicks, the menu keys and menu commands
// become the program's events; the system's close ends the program; paints come from the
// persistent image; a move to a monitor of another scale takes the frame to the new dpi; a
// change of the wallpaper, the desktop's colours or the displays repaints the caption strip.
#include <windows.h>
// After <windows.h>, whose types they use.
#include <windowsx.h>

#include <optional>
#include <utility>

#include "platform/win32/desktop_background.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/folder_watch.hpp"
#include "platform/win32/main_image_paint.hpp"
#include "platform/win32/raise.hpp"
#include "platform/win32/units.hpp"
#include "platform/win32/windows/drop_target.hpp"
#include "platform/win32/windows/frame_windows.hpp"
#include "platform/windows.hpp"
#include "resources/menu_items.hpp"

namespace platform::win32 {

namespace {
POINT PointOf(LPARAM pos) {
    return POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
}

// Whether a setting change concerns the desktop's background: the wallpaper, its placement or
// the pattern, named by the setting's number or, by a program that wrote the desktop's keys
// itself, by the key's name.
bool ChangesTheDesktop(WPARAM setting, LPARAM area) {
    if (setting == SPI_SETDESKWALLPAPER || setting == SPI_SETDESKPATTERN) return true;
    const auto* name = reinterpret_cast<const wchar_t*>(area);
    return name &&
           ::CompareStringOrdinal(name, -1, L"Control Panel\\Desktop", -1, TRUE) == CSTR_EQUAL;
}
}  // namespace

LRESULT PictureWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            // The press itself lets the move loop run, whatever made it: a pen or a finger sets
            // no asynchronous key state.
            pressed_ = true;
            OnMouseDown(kLeftButton, wParam, PointOf(lParam));
            pressed_ = false;
            return 0;
        case WM_RBUTTONDOWN:
            OnMouseDown(kRightButton, wParam, PointOf(lParam));
            return 0;
        case WM_MBUTTONDOWN:
            OnMouseDown(kMiddleButton, wParam, PointOf(lParam));
            return 0;
        // A quick second press of the left button, also right after the move loop.
        case WM_LBUTTONDBLCLK:
            Raise("DblClick", [](Events& e) { e.DblClick(); });
            return 0;
        // With CS_DBLCLKS a quick second press of the other buttons arrives as a double click;
        // it is a press all the same and opens the menu again.
        case WM_RBUTTONDBLCLK:
            OnMouseDown(kRightButton, wParam, PointOf(lParam));
            return 0;
        case WM_MBUTTONDBLCLK:
            OnMouseDown(kMiddleButton, wParam, PointOf(lParam));
            return 0;
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_CLOSE:
            OnSystemClose();
            return 0;
        // The session ends (or an installer closes the program, ENDSESSION_CLOSEAPP): the frame
        // is told so before it closes as the system closes it.
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) {
                Raise("SessionEnd", [](Events& e) { e.SessionEnd(); });
                OnSystemClose();
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers the whole area from the image
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_MOUSEWHEEL:
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), PointOf(lParam));
            return 0;
        case WM_TIMER:
            Raise("Timer", [](Events& e) { e.Timer(); });
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (OnKey(wParam)) return 0;
            return Window::OnMessage(msg, wParam, lParam);
        // The menu keys are handled as they go down; a context-menu request the system makes of
        // them or of a right button's release would open the menu a second time.
        case WM_CONTEXTMENU:
            return 0;
        case WM_DPICHANGED:
            if (lParam) OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        // A drop the drop target took from its source (drop_target.cpp).
        case kDropWaitingMessage:
            drops_.RaiseOldest();
            return 0;
        // The caption strip imitates the desktop under it, so it follows the desktop's changes.
        case WM_SETTINGCHANGE:
            if (ChangesTheDesktop(wParam, lParam)) OnDesktopChanged(true);
            return 0;
        case WM_SYSCOLORCHANGE:
            OnDesktopChanged(false);
            return 0;
        // A volume the watched folder lies on is to go, or stays after all.
        case WM_DEVICECHANGE:
            FolderWatchDeviceEvent(wParam, lParam);
            return TRUE;
        // A monitor came or went, or a resolution or the arrangement changed.
        case WM_DISPLAYCHANGE:
            Raise("DisplayChanged", [](Events& e) { e.DisplayChanged(); });
            OnDesktopChanged(false);
            return 0;
        default:
            return Window::OnMessage(msg, wParam, lParam);
    }
}

// A press at a point of the client area, in the screen's pixels; the program is told it in its
// own.
void PictureWindow::OnMouseDown(std::int16_t button, WPARAM keys, POINT at) {
    std::int16_t shift = 0;
    if (keys & MK_SHIFT) shift |= 1;
    if (keys & MK_CONTROL) shift |= 2;
    if (::GetKeyState(VK_MENU) < 0) shift |= 4;
    const float x = static_cast<float>(ToDesign(at.x).Value());
    const float y = static_cast<float>(ToDesign(at.y).Value());
    Raise("MouseDown", [&](Events& e) { e.MouseDown(button, shift, x, y); });
}

// The wheel steps through the folder, a notch a picture: down the next, up the previous. Finer
// wheels add up to whole notches; a turn while the pointer stands elsewhere (the frame only
// has the focus) does nothing.
void PictureWindow::OnWheel(int delta, POINT at) {
    RECT window{};
    if (!::GetWindowRect(Handle(), &window) || !::PtInRect(&window, at)) return;
    wheel_ += delta;
    while (wheel_ >= WHEEL_DELTA || wheel_ <= -WHEEL_DELTA) {
        const Step step = wheel_ > 0 ? Step::Previous : Step::Next;
        wheel_ += wheel_ > 0 ? -WHEEL_DELTA : WHEEL_DELTA;
        Raise("StepKey", [&](Events& e) { e.StepKey(step); });
    }
}

namespace {
// The keys that step through the folder while the frame has the focus.
std::optional<Step> StepOfKey(WPARAM key) {
    switch (key) {
        case VK_RIGHT:
        case VK_NEXT:
            return Step::Next;
        case VK_LEFT:
        case VK_PRIOR:
            return Step::Previous;
        case VK_HOME:
            return Step::First;
        case VK_END:
            return Step::Last;
        default:
            return std::nullopt;
    }
}
}  // namespace

// Shift+F10 and the context-menu key ask for the popup menu: at the pointer when it stands over
// the window, else at the window's top-left corner.
bool PictureWindow::OnKey(WPARAM key) {
    if (const std::optional<Step> step = StepOfKey(key)) {
        Raise("StepKey", [&](Events& e) { e.StepKey(*step); });
        return true;
    }
    if (key != VK_APPS && !(key == VK_F10 && ::GetKeyState(VK_SHIFT) < 0)) return false;
    RECT window{};
    POINT at{};
    HWND h = Handle();
    if (!::GetWindowRect(h, &window)) return true;
    if (!::GetCursorPos(&at) || !::PtInRect(&window, at)) {
        at = POINT{0, 0};
        ::ClientToScreen(h, &at);
    }
    Raise("MenuKey", [&](Events& e) { e.MenuKey(ScreenPoint{at.x, at.y}); });
    return true;
}

// The window keeps its size in twips and takes the place the system suggests; the companions
// take the new dpi too, and the program paints the frame again at its new size in pixels.
void PictureWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    HWND h = Handle();
    RECT r{};
    if (!::GetWindowRect(h, &r)) return;
    const Twips width = ToTwips(r.right - r.left), height = ToTwips(r.bottom - r.top);
    dpi_ = SaneDpi(dpi);
    for (Form f : {Form::Main, Form::Shadow, Form::Txt}) Windows().Of(f).FitFont(dpi_);
    const auto w = ToPixels(width), ht = ToPixels(height);
    if (w && ht)
        ::SetWindowPos(h, nullptr, suggested.left, suggested.top, *w, *ht,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    Windows().caption.Fit(dpi_);
    // During a drag the companions stay hidden: the frame is laid out anew once it is dropped.
    if (moving_)
        layoutPending_ = true;
    else
        Raise("DpiChanged", [](Events& e) { e.DpiChanged(); });
}

bool PictureWindow::RunMoveLoop() {
    HWND h = Handle();
    if (!h) return false;
    // Without the press being handled (a handler called directly, a press already over) there
    // is nothing to move, and the system's loop would wait for a release that never comes.
    if (!pressed_ || moving_) return true;
    // The system's own move loop runs inside this call and returns when the button is up.
    moving_ = true;
    ::SendMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    moving_ = false;
    if (std::exchange(layoutPending_, false))
        Raise("DpiChanged", [](Events& e) { e.DpiChanged(); });
    return true;
}

// The caption strip is painted again from the desktop as it is now; a new wallpaper is decoded
// anew.
void PictureWindow::OnDesktopChanged(bool wallpaper) {
    if (wallpaper) ForgetWallpaper();
    if (HWND box = WindowOf(Surface::Picture1))
        if (!::RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE))
            FailedCall("RedrawWindow(Picture1)");
}

void PictureWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Menu commands only: no control sends notifications to this window.
    if (HIWORD(wParam) != 0 || lParam != 0) return;
    if (const resources::MenuEntry* entry = resources::FindMenuEntry(LOWORD(wParam)))
        Raise("MenuClick", [&](Events& e) { e.MenuClick(entry->item); });
}

// The system closes the window (Alt+F4, the task bar, the end of the session). The program ends
// as on its Exit command; if its handler returns without ending the process, the windows go and
// the message loop stops, so no process is left running with hidden windows.
void PictureWindow::OnSystemClose() {
    Raise("SystemClose", [](Events& e) { e.SystemClose(); });
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

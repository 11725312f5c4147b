// Standing on the shown desktop (see desktop_stand.hpp).
#include "platform/win32/windows/desktop_stand.hpp"

#include <cwchar>
#include <initializer_list>
#include <utility>

#include "platform/win32/dwm.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/windows/frame_windows.hpp"

namespace platform::win32 {

namespace {

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t found[32] = {};
    return ::GetClassNameW(window, found, 32) > 0 && std::wcscmp(found, name) == 0;
}

bool SameProcess(HWND a, HWND b) {
    DWORD pa = 0, pb = 0;
    return ::GetWindowThreadProcessId(a, &pa) && ::GetWindowThreadProcessId(b, &pb) && pa == pb;
}

// Whether `lower` lies somewhere under `upper` in the z-order of the top-level windows.
bool Under(HWND lower, HWND upper) {
    for (HWND h = ::GetWindow(upper, GW_HWNDNEXT); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if (h == lower) return true;
    return false;
}

// Puts the frame's windows right under `after` (HWND_TOP: above every ordinary window), the
// picture window first and its companions under it; none is activated, shown or hidden. Each
// goes right under `after` in turn, the lowest first: Wine carries a window's new place over to
// its X window only when the window comes to the top, so a companion put under the picture
// window would stay under the desktop on screen.
void Restack(HWND after) {
    FrameWindows& w = Windows();
    for (HWND h : {w.shadow.Handle(), w.caption.Handle(), w.main.Handle()}) {
        if (!h) continue;
        if (!::SetWindowPos(h, after, 0, 0, 0, 0,
                            SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER))
            FailedCall("SetWindowPos(stand on the desktop)");
    }
}

void CALLBACK OnForeground(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                           DWORD) {
    if (object == OBJID_WINDOW && child == CHILDID_SELF) Windows().main.Stand().Foreground(window);
}

}  // namespace

bool IsShellDesktop(HWND window) {
    if (!window) return false;
    if (HasClass(window, L"Progman")) return true;
    if (!HasClass(window, L"WorkerW")) return false;
    // The shell moves the view into its WorkerW as it shows the desktop, possibly a moment after
    // the WorkerW came forward: a WorkerW of the shell's own process counts too.
    if (::FindWindowExW(window, nullptr, L"SHELLDLL_DefView", nullptr)) return true;
    HWND shell = ::GetShellWindow();
    return shell && SameProcess(shell, window);
}

bool DesktopStand::Start() {
    standing_ = false;
    // Out of context: the system calls back on this thread's message loop, in this process.
    hook_ = ScopedWinEventHook(::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND,
                                                 nullptr, OnForeground, 0, 0,
                                                 WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
    return hook_ ? true : FailedCall("SetWinEventHook(EVENT_SYSTEM_FOREGROUND)");
}

void DesktopStand::Stop() {
    hook_.Reset();
    standing_ = false;
}

void DesktopStand::Foreground(HWND window) {
    FrameWindows& w = Windows();
    HWND main = w.main.Handle();
    HWND top = window ? ::GetAncestor(window, GA_ROOT) : nullptr;
    if (!main || !top || top == main || top == w.caption.Handle() || top == w.shadow.Handle())
        return;
    if (!IsShellDesktop(top)) {
        // Another window came forward: the frame goes back under it, should it stand above.
        if (std::exchange(standing_, false) && Under(top, main)) Restack(top);
        return;
    }
    // Where Windows cloaks the windows that cannot be minimised, the frame is shown again.
    for (HWND h : {main, w.caption.Handle(), w.shadow.Handle()})
        if (h && ::IsWindowVisible(h) && IsCloaked(h)) ::ShowWindow(h, SW_SHOWNOACTIVATE);
    // A click on the desktop gives it the foreground too, but leaves it under every window.
    if (!Under(main, top)) return;
    HWND above = ::GetWindow(top, GW_HWNDPREV);
    const bool aboveIsTopmost =
        above && (::GetWindowLongW(above, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    Restack(above && !aboveIsTopmost ? above : HWND_TOP);
    standing_ = true;
}

}  // namespace platform::win32

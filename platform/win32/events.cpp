// The program's event sink, the message loop that raises its events, and the picture window's
// timer. The loop sleeps in MsgWaitForMultipleObjectsEx on the window messages and the watch on
// the shown picture's folder, so an idle frame costs no CPU.
#include "platform/events.hpp"

#include <windows.h>

#include "platform/folders.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/folder_watch.hpp"
#include "platform/win32/windows/frame_windows.hpp"

namespace platform {

namespace {
Events* g_events = nullptr;

// The picture window's one timer id.
constexpr UINT_PTR kTimerId = 1;
}  // namespace

void SetEvents(Events* events) {
    g_events = events;
}
Events* CurrentEvents() {
    return g_events;
}

bool StartTimer(std::uint32_t milliseconds) {
    HWND main = win32::WindowOf(Form::Main);
    if (!main) return false;
    const UINT pace = milliseconds > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM : milliseconds;
    if (!::SetTimer(main, kTimerId, pace, nullptr)) return win32::FailedCall("SetTimer");
    return true;
}

void StopTimer() {
    // Killing a timer that is not running fails harmlessly.
    if (HWND main = win32::WindowOf(Form::Main)) ::KillTimer(main, kTimerId);
}

int RunMessageLoop() {
    MSG msg{};
    for (;;) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        HANDLE watch = win32::FolderWatchHandle();
        const DWORD count = watch ? 1 : 0;
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(count, &watch, INFINITE, QS_ALLINPUT,
                                                         MWMO_INPUTAVAILABLE);
        if (count && woke == WAIT_OBJECT_0) {
            win32::FolderWatchSignalled();
        } else if (woke == WAIT_FAILED) {
            // A watch that cannot be waited on is dropped; the messages go on.
            win32::FailedCall("MsgWaitForMultipleObjectsEx");
            folders::Watch(u"");
        }
    }
}

}  // namespace platform

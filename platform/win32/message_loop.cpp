// The program's event sink and the message loop that raises its events.
#include <windows.h>

#include "platform/events.hpp"

namespace platform {

namespace {
Events* g_events = nullptr;
}  // namespace

void SetEvents(Events* events) {
    g_events = events;
}
Events* CurrentEvents() {
    return g_events;
}

int RunMessageLoop() {
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);  // WM_QUIT
        if (got == -1) return -1;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace platform

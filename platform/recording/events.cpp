// Recording backend: the event sink, and a message loop that returns at once (tests raise
// events by calling the sink themselves).
#include "platform/events.hpp"

#include <string>

#include "platform/recording/recorder.hpp"

namespace platform {

namespace {
Events* g_events = nullptr;
}

void SetEvents(Events* events) {
    g_events = events;
}
Events* CurrentEvents() {
    return g_events;
}

bool StartTimer(std::uint32_t milliseconds) {
    if (!recording::Rec().Record("StartTimer(" + std::to_string(milliseconds) + ")")) return false;
    recording::Rec().timerMilliseconds = milliseconds;
    return true;
}

void StopTimer() {
    recording::Rec().Record("StopTimer()");
    recording::Rec().timerMilliseconds.reset();
}

int RunMessageLoop() {
    recording::Rec().Record("RunMessageLoop()");
    return 0;
}

}  // namespace platform

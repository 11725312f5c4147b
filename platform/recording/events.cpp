// Recording backend: the event sink, and a message loop that returns at once (tests raise
// events by calling the sink themselves).
#include "platform/events.hpp"

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

int RunMessageLoop() {
    recording::Rec().Record("RunMessageLoop()");
    return 0;
}

}  // namespace platform

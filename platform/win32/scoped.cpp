// Count of the GDI objects and device contexts that the handle owners of scoped.hpp hold.
#include "platform/win32/scoped.hpp"

namespace platform::win32 {

namespace {
// The backend runs on the window thread only; a plain counter is enough.
int g_liveGdiObjects = 0;
}  // namespace

int LiveGdiObjects() {
    return g_liveGdiObjects;
}

namespace detail {
void CountGdi(int delta) {
    g_liveGdiObjects += delta;
}
}  // namespace detail

}  // namespace platform::win32

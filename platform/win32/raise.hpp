// How the backend hands an event to the program.
#pragma once

#include <exception>

#include "platform/events.hpp"

namespace platform::win32 {

// An exception that reached the edge of a handler, named in the debug output (diagnostics.cpp).
void ReportEscaped(const char* event, const std::exception* e);

// Calls the program's event sink, if one is set. An exception from a handler stops at this
// boundary, named: it must not unwind through the system's code that called the window
// procedure.
template <class F>
void Raise(const char* event, F&& call) {
    if (Events* events = CurrentEvents()) {
        try {
            call(*events);
        } catch (const std::exception& e) {
            ReportEscaped(event, &e);
        } catch (...) {
            ReportEscaped(event, nullptr);
        }
    }
}

}  // namespace platform::win32

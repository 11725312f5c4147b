// What the files of the Win32 backend share with one another (and with the backend's own
// tests): conversions between the portable text type and Win32 wide strings, the raising of
// events, and the few facts about the system that several files ask.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <string_view>

#include "platform/events.hpp"
#include "platform/types.hpp"

namespace platform::win32 {

// True when the process runs under Wine.
bool IsWine();

inline std::wstring Wide(std::u16string_view s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}
inline std::u16string U16(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

// An exception that reached the edge of a handler, named in the debug output.
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

// Repaints part of the picture window's client area from its persistent image (drawing.cpp).
void PaintMainFromImage(HWND main, HDC dc, const RECT& area);

// The popup menu, built on first use (menus.cpp).
HMENU PopupMenuHandle();

}  // namespace platform::win32

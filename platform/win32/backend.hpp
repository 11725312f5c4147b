// What the files of the Win32 backend share with one another (and with the backend's own
// tests): the window handles of the forms, conversions between the portable text type and
// Win32 wide strings, and the raising of events.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/events.hpp"
#include "platform/types.hpp"

namespace platform::win32 {

// Window class names; tests in other processes find the windows by them.
inline constexpr const wchar_t* kMainClass = L"VistrelleMain";
inline constexpr const wchar_t* kShadowClass = L"VistrelleShadow";
inline constexpr const wchar_t* kCaptionClass = L"VistrelleCaption";
inline constexpr const wchar_t* kPicture1Class = L"VistrellePicture1";

// The background colour of the picture window and of its persistent image: a neutral dark
// grey, so that the strip around a picture reads as a frame and not as a hole.
inline constexpr COLORREF kMainBackColor = RGB(32, 32, 32);

// Where a window keeps its handle; the window procedure links the window to its slot once,
// in WM_NCCREATE, and clears the handle in WM_NCDESTROY.
struct WindowSlot {
    HWND hwnd = nullptr;
};
WindowSlot& SlotOf(Form f);
WindowSlot& Picture1Slot();

// The window of a form or surface, or nullptr when it does not exist.
HWND WindowOf(Form f);
HWND WindowOf(Surface s);

// The font a form measures text with (the picture window's own font, the default GUI font for
// the others); not owned by the caller.
HFONT MeasuringFont(Form f);
// Gives back what the picture window owns (font, persistent image, drop registration); run
// when it is destroyed.
void ReleaseMainResources(HWND main);

// Screen twips per pixel, from the screen's logical resolution.
std::optional<double> ScreenTwipsPerPixel(bool horizontal);

// True when the process runs under Wine.
bool IsWine();

inline std::wstring Wide(std::u16string_view s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}
inline std::u16string U16(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

// Calls the program's event sink, if one is set. An exception from a handler stops at this
// boundary: it must not unwind through the system's code that called the window procedure.
template <class F>
void Raise(F&& call) {
    if (Events* events = CurrentEvents()) {
        try {
            call(*events);
        } catch (...) {
        }
    }
}

// Window procedures of the four window classes (window_procs.cpp).
LRESULT CALLBACK MainWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ShadowWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CaptionWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK Picture1WindowProc(HWND, UINT, WPARAM, LPARAM);

// Forgets what the program set on a surface (AutoRedraw, font, colour) when its window goes,
// so that a window created again starts as a new one (drawing.cpp).
void ResetSurfaceStyle(Surface s);

// Repaints the picture window's client area from its persistent image (drawing.cpp).
void PaintMainFromImage(HWND main, HDC dc, const RECT& area);

// The popup menu, built on first use (menus.cpp).
HMENU PopupMenuHandle();

}  // namespace platform::win32

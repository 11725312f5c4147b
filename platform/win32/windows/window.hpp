// The base of the backend's window objects: a window is linked to its object once, in
// WM_NCCREATE, and the one window procedure of every class forwards each message to that
// object. What a window holds belongs to its object and is given back in one place, OnGone,
// when the window receives its last message.
#pragma once

#include <windows.h>

namespace platform::win32 {

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    // The window, or nullptr when it does not exist (never created, or destroyed).
    HWND Handle() const { return hwnd_ && ::IsWindow(hwnd_) ? hwnd_ : nullptr; }

  protected:
    // Creates the window of a class registered with Window::Proc, linked to this object.
    HWND CreateLinked(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                      const RECT& outer, HWND parent);
    // Registers a window class whose windows forward to their objects.
    static bool RegisterClassOnce(const wchar_t* name, UINT style, HBRUSH background, HICON icon);

    // The messages the window handles; anything else goes to DefWindowProcW.
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Gives back everything the window holds; runs once, in WM_NCDESTROY.
    virtual void OnGone() {}

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace platform::win32

// The link between a window and its object (see window.hpp).
#include "platform/win32/windows/window.hpp"

#include "platform/win32/failure.hpp"

namespace platform::win32 {

namespace {
HINSTANCE Instance() {
    return ::GetModuleHandleW(nullptr);
}
}  // namespace

HWND Window::CreateLinked(DWORD exStyle, const wchar_t* className, const wchar_t* title,
                          DWORD style, const RECT& outer, HWND parent) {
    HWND made = ::CreateWindowExW(exStyle, className, title, style, outer.left, outer.top,
                                  outer.right - outer.left, outer.bottom - outer.top, parent,
                                  nullptr, Instance(), this);
    if (!made) FailedCall("CreateWindowExW");
    return made;
}

bool Window::RegisterClassOnce(const wchar_t* name, UINT style, HBRUSH background, HICON icon) {
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(Instance(), name, &wc)) return true;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = Proc;
    wc.hInstance = Instance();
    wc.hIcon = icon;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (!::RegisterClassExW(&wc)) return FailedCall("RegisterClassExW");
    return true;
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) come before the link exists.
    if (!self || self->hwnd_ != hwnd) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    const LRESULT result = self->OnMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->OnGone();
        self->hwnd_ = nullptr;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    return result;
}

}  // namespace platform::win32

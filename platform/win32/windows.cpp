// platform::windows on Win32: the three top-level windows (picture, shadow, caption with its
// picture box), their geometry in twips, visibility, opacity and the move loop. The
// window objects themselves are in frame_windows.hpp.
#include "platform/windows.hpp"

#include <windows.h>

#include <new>

#include "platform/win32/failure.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/units.hpp"
#include "platform/win32/windows/frame_windows.hpp"
#include "platform/win32/wine.hpp"

namespace platform::win32 {

namespace {

std::optional<RECT> OuterRect(Form f) {
    RECT r{};
    HWND h = WindowOf(f);
    if (!h || !::GetWindowRect(h, &r)) return std::nullopt;
    return r;
}

std::optional<RECT> ClientRect(Form f) {
    RECT r{};
    HWND h = WindowOf(f);
    if (!h || !::GetClientRect(h, &r)) return std::nullopt;
    return r;
}

}  // namespace

}  // namespace platform::win32

namespace platform::windows {

using namespace platform::win32;

bool Create(Form f, const FormDesign& design) {
    FrameWindow& window = Windows().Of(f);
    return window.Handle() || window.Create(design);
}

bool Destroy(Form f) {
    HWND h = WindowOf(f);
    return !h || ::DestroyWindow(h) != 0;
}

bool Exists(Form f) {
    return WindowOf(f) != nullptr;
}

bool Show(Form f) {
    HWND h = WindowOf(f);
    if (!h) return false;
    UINT flags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE;
    // A companion already shown keeps its place among the windows: a layout the frame makes by
    // itself (a slideshow step, a followed file) must not raise it over the user's windows.
    if (f != Form::Main) flags |= SWP_NOACTIVATE | (::IsWindowVisible(h) ? SWP_NOZORDER : 0);
    if (!::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, flags)) return false;
    if (f == Form::Main) ::SetForegroundWindow(h);
    return true;
}

bool Hide(Form f) {
    HWND h = WindowOf(f);
    if (!h) return false;
    ::ShowWindow(h, SW_HIDE);
    return true;
}

namespace {
// Pixels of the outer rectangle to twips; empty when the window does not exist.
std::optional<Twips> TwipsOf(std::optional<RECT> r, LONG (*pick)(const RECT&)) {
    if (!r) return std::nullopt;
    return ToTwips(pick(*r));
}

bool Place(HWND h, int x, int y, int w, int ht, UINT extra) {
    return ::SetWindowPos(h, nullptr, x, y, w, ht,
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | extra) != 0;
}
}  // namespace

std::optional<Twips> Left(Form f) {
    return TwipsOf(OuterRect(f), [](const RECT& r) { return r.left; });
}
std::optional<Twips> Top(Form f) {
    return TwipsOf(OuterRect(f), [](const RECT& r) { return r.top; });
}
std::optional<Twips> Width(Form f) {
    return TwipsOf(OuterRect(f), [](const RECT& r) { return r.right - r.left; });
}
std::optional<Twips> Height(Form f) {
    return TwipsOf(OuterRect(f), [](const RECT& r) { return r.bottom - r.top; });
}

bool Move(Form f, Twips left, Twips top, Twips width, std::optional<Twips> height) {
    const auto r = OuterRect(f);
    const auto x = ToPixels(left), y = ToPixels(top), w = ToPixels(width);
    if (!r || !x || !y || !w) return false;
    int h = r->bottom - r->top;
    if (height) {
        const auto hp = ToPixels(*height);
        if (!hp) return false;
        h = *hp;
    }
    return Place(WindowOf(f), *x, *y, *w, h, 0);
}

bool SetWidth(Form f, Twips width) {
    const auto r = OuterRect(f);
    const auto w = ToPixels(width);
    return r && w && Place(WindowOf(f), 0, 0, *w, r->bottom - r->top, SWP_NOMOVE);
}

bool SetHeight(Form f, Twips height) {
    const auto r = OuterRect(f);
    const auto h = ToPixels(height);
    return r && h && Place(WindowOf(f), 0, 0, r->right - r->left, *h, SWP_NOMOVE);
}

std::optional<DesignPixels> ScaleWidth(Form f) {
    const auto r = ClientRect(f);
    if (!r) return std::nullopt;
    return ToDesign(r->right - r->left);
}

std::optional<DesignPixels> ScaleHeight(Form f) {
    const auto r = ClientRect(f);
    if (!r) return std::nullopt;
    return ToDesign(r->bottom - r->top);
}

std::optional<DesignPixels> TextWidth(Form f, std::u16string_view text) {
    if (!WindowOf(f)) return std::nullopt;
    ScopedMemDC dc(nullptr);
    if (!dc) return std::nullopt;
    ScopedSelectObject font(dc.Get(), MeasuringFont(f));
    if (!font) return std::nullopt;
    if (text.empty()) return DesignPixels();
    SIZE size{};
    const std::wstring wide = Wide(text);
    if (!::GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size))
        return std::nullopt;
    return ToDesign(size.cx);
}

namespace {
// Adds bits to the window's extended style, leaving the others as they are.
bool AddExStyle(HWND h, LONG bits) {
    if (!h) return false;
    ::SetLastError(0);
    const LONG style = ::GetWindowLongW(h, GWL_EXSTYLE);
    if (style == 0 && ::GetLastError() != 0) return false;
    if ((style & bits) == bits) return true;
    ::SetLastError(0);
    const LONG previous = ::SetWindowLongW(h, GWL_EXSTYLE, style | bits);
    return !(previous == 0 && ::GetLastError() != 0);
}
}  // namespace

bool SetOpacity(Form f, std::uint8_t alpha) {
    HWND h = WindowOf(f);
    return AddExStyle(h, WS_EX_LAYERED) && ::SetLayeredWindowAttributes(h, 0, alpha, LWA_ALPHA);
}

bool SetClickThrough(Form f) {
    // Windows passes the pointer through a window only when it is layered and transparent.
    return AddExStyle(WindowOf(f), WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

bool ReleaseCapture() {
    return ::ReleaseCapture() != 0;
}

bool PointerOver(Form f) {
    HWND h = WindowOf(f);
    POINT at{};
    if (!h || !::IsWindowVisible(h) || !::GetCursorPos(&at)) return false;
    // The window itself under the pointer, not another one that covers it there.
    HWND under = ::WindowFromPoint(at);
    return under && ::GetAncestor(under, GA_ROOT) == h;
}

bool RunMoveLoop(Form f) {
    // Only the picture window is pressed; the others have nothing to move.
    if (f == Form::Main) return Windows().main.RunMoveLoop();
    return WindowOf(f) != nullptr;
}

namespace {
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(monitor, &info)) return TRUE;
    const auto twips = [](const RECT& r) {
        return TwipsRect{ToTwips(r.left), ToTwips(r.top), ToTwips(r.right - r.left),
                         ToTwips(r.bottom - r.top)};
    };
    // No exception may unwind through the system's enumeration.
    try {
        reinterpret_cast<std::vector<Monitor>*>(found)->push_back(
            Monitor{twips(info.rcMonitor), twips(info.rcWork), U16(info.szDevice)});
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::vector<Monitor> Monitors() {
    std::vector<Monitor> found;
    if (!::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&found)))
        FailedCall("EnumDisplayMonitors");
    return found;
}

int FrameDpi() {
    return platform::win32::FrameDpi();
}

// The program's own pixels, whatever the screen's: the backend maps them to the screen.
std::optional<units::TwipsPerPixel> TwipsPerPixelX() {
    return kDesignTwipsPerPixel;
}
std::optional<units::TwipsPerPixel> TwipsPerPixelY() {
    return kDesignTwipsPerPixel;
}

}  // namespace platform::windows

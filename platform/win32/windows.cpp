// platform::windows on Win32: the three top-level windows (picture, shadow, caption with its
// picture box), their geometry in twips, visibility, extended styles and the move loop.
#include "platform/windows.hpp"

#include <windows.h>

#include <cmath>

#include "platform/win32/backend.hpp"
#include "platform/win32/drop_target.hpp"
#include "platform/win32/persistent_image.hpp"
#include "platform/win32/scoped.hpp"

namespace platform::win32 {

namespace {

WindowSlot g_forms[3];
WindowSlot g_picture1;
// The picture window's measuring font; it lives as long as the window.
ScopedFont g_mainFont;

HINSTANCE Instance() {
    return ::GetModuleHandleW(nullptr);
}

// The first icon group among the executable's resources, whatever its id; the default
// application icon when the executable has none (the test programs).
BOOL CALLBACK TakeFirstIconName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    *reinterpret_cast<LPWSTR*>(found) = name;
    return FALSE;
}
HICON ProgramIcon() {
    LPWSTR name = nullptr;
    ::EnumResourceNamesW(Instance(), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, TakeFirstIconName,
                         reinterpret_cast<LONG_PTR>(&name));
    HICON icon = name ? ::LoadIconW(Instance(), name) : nullptr;
    return icon ? icon : ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */);
}

bool RegisterOne(const wchar_t* name, WNDPROC proc, UINT style, HBRUSH background, HICON icon) {
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(Instance(), name, &wc)) return true;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = Instance();
    wc.hIcon = icon;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return ::RegisterClassExW(&wc) != 0;
}

bool RegisterClasses() {
    HICON icon = ProgramIcon();
    // The picture window paints its whole client area from its image, so it needs no brush.
    return RegisterOne(kMainClass, MainWindowProc, CS_DBLCLKS, nullptr, icon) &&
           RegisterOne(kShadowClass, ShadowWindowProc, 0,
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon) &&
           RegisterOne(kCaptionClass, CaptionWindowProc, 0,
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon) &&
           RegisterOne(kPicture1Class, Picture1WindowProc, 0,
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
}

// Twips to whole pixels, rounding to nearest with halves to even (the default rounding mode).
std::optional<int> ToPixels(double twips, bool horizontal) {
    const std::optional<double> tpp = ScreenTwipsPerPixel(horizontal);
    if (!tpp || !std::isfinite(twips)) return std::nullopt;
    const double pixels = std::nearbyint(twips / *tpp);
    if (!(pixels >= -1e9 && pixels <= 1e9)) return std::nullopt;
    return static_cast<int>(pixels);
}

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

// Screen rectangle in pixels of a client area given in twips, grown to the outer rectangle.
std::optional<RECT> OuterFromClientTwips(double left, double top, double width, double height,
                                         DWORD style, DWORD exStyle) {
    const auto l = ToPixels(left, true), t = ToPixels(top, false);
    const auto w = ToPixels(width, true), h = ToPixels(height, false);
    if (!l || !t || !w || !h) return std::nullopt;
    RECT r{*l, *t, *l + *w, *t + *h};
    if (!::AdjustWindowRectEx(&r, style, FALSE, exStyle)) return std::nullopt;
    return r;
}

HWND CreateTopLevel(Form f, const wchar_t* className, const wchar_t* title, DWORD style,
                    DWORD exStyle, const RECT& outer) {
    return ::CreateWindowExW(exStyle, className, title, style, outer.left, outer.top,
                             outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                             Instance(), &SlotOf(f));
}

bool CreateMain() {
    const DWORD style = WS_POPUP | WS_BORDER;
    const DWORD exStyle = WS_EX_APPWINDOW;  // a button in the task bar
    const auto outer = OuterFromClientTwips(3330, 2925, 2925, 2160, style, exStyle);
    if (!outer) return false;
    HWND h = CreateTopLevel(Form::Main, kMainClass, L"", style, exStyle, *outer);
    if (!h) return false;
    // The font text widths are measured in: LucidaGrande 9.75 pt, normal weight, Shift-JIS
    // character set; the font mapper substitutes a face when this one is absent.
    LOGFONTW lf{};
    {
        ScopedWindowDC screen(nullptr);
        const int dpi = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
        lf.lfHeight = -static_cast<LONG>(std::lround(9.75 * dpi / 72.0));
    }
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    ::lstrcpynW(lf.lfFaceName, L"LucidaGrande", LF_FACESIZE);
    g_mainFont = ScopedFont(::CreateFontIndirectW(&lf));
    if (!RegisterFrameDropTarget(h)) {
        ::DestroyWindow(h);
        return false;
    }
    return true;
}

bool CreateShadow() {
    const DWORD style = WS_POPUP;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    // Placed over the picture window's first place; the program moves it around that window.
    const auto outer = OuterFromClientTwips(3330, 2925, 2925, 2160, style, exStyle);
    if (!outer) return false;
    HWND h = CreateTopLevel(Form::Shadow, kShadowClass, L"阴影  ", style, exStyle, *outer);
    if (!h) return false;
    // The shadow lies over the picture window whenever it is shown after it. Windows looks
    // through it for the window under the pointer, but Wine hands a drop to the topmost window
    // there: the shadow takes drops for the picture window, so a file dropped on the picture
    // arrives either way.
    if (!RegisterFrameDropTarget(h)) {
        ::DestroyWindow(h);
        return false;
    }
    return true;
}

bool CreateCaption() {
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    const auto outer = OuterFromClientTwips(3330, 5200, 4320, 270, style, exStyle);
    if (!outer) return false;
    HWND h = CreateTopLevel(Form::Txt, kCaptionClass, L"", style, exStyle, *outer);
    if (!h) return false;
    const auto w = ToPixels(4455, true), ht = ToPixels(270, false);
    if (!w || !ht ||
        !::CreateWindowExW(0, kPicture1Class, L"Picture1", WS_CHILD | WS_VISIBLE, 0, 0, *w, *ht, h,
                           nullptr, Instance(), &g_picture1)) {
        ::DestroyWindow(h);
        return false;
    }
    return true;
}

}  // namespace

WindowSlot& SlotOf(Form f) {
    return g_forms[static_cast<int>(f) % 3];
}
WindowSlot& Picture1Slot() {
    return g_picture1;
}

HWND WindowOf(Form f) {
    HWND h = SlotOf(f).hwnd;
    return h && ::IsWindow(h) ? h : nullptr;
}

HWND WindowOf(Surface s) {
    if (s == Surface::Main) return WindowOf(Form::Main);
    HWND h = g_picture1.hwnd;
    return h && ::IsWindow(h) ? h : nullptr;
}

HFONT MeasuringFont(Form f) {
    if (f == Form::Main && g_mainFont) return g_mainFont.Get();
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void ReleaseMainResources(HWND main) {
    RevokeFrameDropTarget(main);
    MainImage().Reset();
    g_mainFont.Reset();
    ResetSurfaceStyle(Surface::Main);
}

std::optional<double> ScreenTwipsPerPixel(bool horizontal) {
    ScopedWindowDC screen(nullptr);
    if (!screen.Get()) return std::nullopt;
    const int dpi = ::GetDeviceCaps(screen.Get(), horizontal ? LOGPIXELSX : LOGPIXELSY);
    if (dpi <= 0) return std::nullopt;
    return 1440.0 / dpi;
}

bool IsWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace platform::win32

namespace platform::windows {

using namespace platform::win32;

bool Create(Form f) {
    if (WindowOf(f)) return true;
    if (!RegisterClasses()) return false;
    switch (f) {
        case Form::Main:
            return CreateMain();
        case Form::Shadow:
            return CreateShadow();
        case Form::Txt:
            return CreateCaption();
    }
    return false;
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
    if (f != Form::Main) flags |= SWP_NOACTIVATE;
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
std::optional<double> Twips(std::optional<RECT> r, bool horizontal, LONG (*pick)(const RECT&)) {
    const auto tpp = ScreenTwipsPerPixel(horizontal);
    if (!r || !tpp) return std::nullopt;
    return pick(*r) * *tpp;
}

bool Place(HWND h, int x, int y, int w, int ht, UINT extra) {
    return ::SetWindowPos(h, nullptr, x, y, w, ht,
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | extra) != 0;
}
}  // namespace

std::optional<double> Left(Form f) {
    return Twips(OuterRect(f), true, [](const RECT& r) { return r.left; });
}
std::optional<double> Top(Form f) {
    return Twips(OuterRect(f), false, [](const RECT& r) { return r.top; });
}
std::optional<double> Width(Form f) {
    return Twips(OuterRect(f), true, [](const RECT& r) { return r.right - r.left; });
}
std::optional<double> Height(Form f) {
    return Twips(OuterRect(f), false, [](const RECT& r) { return r.bottom - r.top; });
}

bool Move(Form f, double left, double top, double width, std::optional<double> height) {
    const auto r = OuterRect(f);
    const auto x = ToPixels(left, true), y = ToPixels(top, false), w = ToPixels(width, true);
    if (!r || !x || !y || !w) return false;
    int h = r->bottom - r->top;
    if (height) {
        const auto hp = ToPixels(*height, false);
        if (!hp) return false;
        h = *hp;
    }
    return Place(WindowOf(f), *x, *y, *w, h, 0);
}

bool SetWidth(Form f, double width) {
    const auto r = OuterRect(f);
    const auto w = ToPixels(width, true);
    return r && w && Place(WindowOf(f), 0, 0, *w, r->bottom - r->top, SWP_NOMOVE);
}

bool SetHeight(Form f, double height) {
    const auto r = OuterRect(f);
    const auto h = ToPixels(height, false);
    return r && h && Place(WindowOf(f), 0, 0, r->right - r->left, *h, SWP_NOMOVE);
}

std::optional<double> ScaleWidth(Form f) {
    const auto r = ClientRect(f);
    if (!r) return std::nullopt;
    return r->right - r->left;
}

std::optional<double> ScaleHeight(Form f) {
    const auto r = ClientRect(f);
    if (!r) return std::nullopt;
    return r->bottom - r->top;
}

std::optional<double> TextWidth(Form f, std::u16string_view text) {
    if (!WindowOf(f)) return std::nullopt;
    ScopedMemDC dc(nullptr);
    if (!dc.Get()) return std::nullopt;
    ScopedSelectObject font(dc.Get(), MeasuringFont(f));
    if (!font.Ok()) return std::nullopt;
    if (text.empty()) return 0.0;
    SIZE size{};
    const std::wstring wide = Wide(text);
    if (!::GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size))
        return std::nullopt;
    return size.cx;
}

std::optional<std::int32_t> ExStyle(Form f) {
    HWND h = WindowOf(f);
    if (!h) return std::nullopt;
    ::SetLastError(0);
    const LONG style = ::GetWindowLongW(h, GWL_EXSTYLE);
    if (style == 0 && ::GetLastError() != 0) return std::nullopt;
    return static_cast<std::int32_t>(style);
}

bool SetExStyle(Form f, std::int32_t style) {
    HWND h = WindowOf(f);
    if (!h) return false;
    ::SetLastError(0);
    const LONG previous = ::SetWindowLongW(h, GWL_EXSTYLE, static_cast<LONG>(style));
    return !(previous == 0 && ::GetLastError() != 0);
}

bool SetLayeredAlpha(Form f, std::uint8_t alpha) {
    HWND h = WindowOf(f);
    return h && ::SetLayeredWindowAttributes(h, 0, alpha, LWA_ALPHA) != 0;
}

bool ReleaseCapture() {
    return ::ReleaseCapture() != 0;
}

bool RunMoveLoop(Form f) {
    HWND h = WindowOf(f);
    if (!h) return false;
    // A press already released (or never made, as when the handler is called directly) has
    // nothing to move: Wine's loop would wait for a release that never comes.
    const int button = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    if (!(::GetAsyncKeyState(button) & 0x8000)) return true;
    // The system's own move loop runs inside this call and returns when the button is up.
    ::SendMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return true;
}

std::optional<double> TwipsPerPixelX() {
    return ScreenTwipsPerPixel(true);
}
std::optional<double> TwipsPerPixelY() {
    return ScreenTwipsPerPixel(false);
}

}  // namespace platform::windows

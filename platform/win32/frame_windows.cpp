// The program's window objects (see frame_windows.hpp): their classes, their creation, what
// each holds and how each gives it back. The picture window's message handlers are in
// picture_window.cpp.
#include "platform/win32/frame_windows.hpp"

#include <cmath>

#include "platform/win32/backend.hpp"
#include "platform/win32/drop_target.hpp"
#include "platform/win32/units.hpp"
#include "resources/window_titles.hpp"

namespace platform::win32 {

namespace {

// Window class names; tests in other processes find the windows by them.
constexpr const wchar_t* kMainClass = L"VistrelleMain";
constexpr const wchar_t* kShadowClass = L"VistrelleShadow";
constexpr const wchar_t* kCaptionClass = L"VistrelleCaption";
constexpr const wchar_t* kPicture1Class = L"VistrellePicture1";

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

HBRUSH ButtonFace() {
    return reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

std::optional<RECT> DesignOuter(const TwipsRect& r, DWORD style, DWORD exStyle) {
    return OuterFromClientTwips(r.left, r.top, r.width, r.height, style, exStyle, FrameDpi());
}

}  // namespace

// The font text widths are measured in: LucidaGrande 9.75 pt, normal weight, Shift-JIS
// character set; the font mapper substitutes a face when this one is absent.
ScopedFont NewMeasuringFont(int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(9.75 * dpi / 72.0));
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    ::lstrcpynW(lf.lfFaceName, L"LucidaGrande", LF_FACESIZE);
    return ScopedFont(::CreateFontIndirectW(&lf));
}

// --- The picture window ------------------------------------------------------------------------

bool PictureWindow::Create() {
    // The picture window paints its whole client area from its image, so it needs no brush.
    if (!RegisterClassOnce(kMainClass, CS_DBLCLKS, nullptr, ProgramIcon())) return false;
    const DWORD style = WS_POPUP | WS_BORDER;
    const DWORD exStyle = WS_EX_APPWINDOW;  // a button in the task bar
    const auto outer = DesignOuter(kDesignRect, style, exStyle);
    if (!outer) return false;
    HWND h = CreateLinked(exStyle, kMainClass, L"", style, *outer, nullptr);
    if (!h) return false;
    dpi_ = WindowDpi(h);
    font_ = NewMeasuringFont(dpi_);
    drop_ = RegisterFrameDropTarget(h);
    if (!drop_) {
        ::DestroyWindow(h);
        return false;
    }
    return true;
}

HFONT PictureWindow::MeasuringFont() const {
    return font_ ? font_.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void PictureWindow::OnGone() {
    drop_.Reset();
    image_.Reset();
    font_.Reset();
    dpi_ = 0;
    keyboardMenuAt_.reset();
    style_ = SurfaceStyle{};
    holder_ = PictureHolder{};
}

// --- The shadow window -------------------------------------------------------------------------

bool ShadowWindow::Create() {
    if (!RegisterClassOnce(kShadowClass, 0, ButtonFace(), ProgramIcon())) return false;
    const DWORD style = WS_POPUP;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    // Placed over the picture window's first place; the program moves it around that window.
    const auto outer = DesignOuter(kDesignRect, style, exStyle);
    if (!outer) return false;
    HWND h = CreateLinked(exStyle, kShadowClass, resources::kShadowTitle, style, *outer, nullptr);
    if (!h) return false;
    // The shadow lies over the picture window whenever it is shown after it. Windows looks
    // through it for the window under the pointer, but Wine hands a drop to the topmost window
    // there: the shadow takes drops for the picture window, so a file dropped on the picture
    // arrives either way.
    drop_ = RegisterFrameDropTarget(h);
    if (!drop_) {
        ::DestroyWindow(h);
        return false;
    }
    return true;
}

void ShadowWindow::OnGone() {
    drop_.Reset();
}

// --- The caption window and its picture box ----------------------------------------------------

bool CaptionWindow::Create() {
    if (!RegisterClassOnce(kCaptionClass, 0, ButtonFace(), ProgramIcon())) return false;
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    const auto outer = DesignOuter(kCaptionDesignRect, style, exStyle);
    if (!outer) return false;
    HWND h = CreateLinked(exStyle, kCaptionClass, L"", style, *outer, nullptr);
    if (!h) return false;
    if (!picture1_.Create(h, FrameDpi())) {
        ::DestroyWindow(h);
        return false;
    }
    return true;
}

bool CaptionWindow::Fit(int dpi) {
    RECT r{};
    HWND h = Handle();
    const auto height = ToPixels(kCaptionDesignRect.height, dpi);
    if (!h || !height || !::GetWindowRect(h, &r)) return false;
    return ::SetWindowPos(h, nullptr, 0, 0, r.right - r.left, *height,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) &&
           picture1_.Fit(dpi);
}

bool Picture1Box::Create(HWND caption, int dpi) {
    if (!RegisterClassOnce(kPicture1Class, 0, ButtonFace(), nullptr)) return false;
    const auto w = ToPixels(kPicture1DesignWidth, dpi);
    const auto h = ToPixels(kCaptionDesignRect.height, dpi);
    if (!w || !h) return false;
    return CreateLinked(0, kPicture1Class, L"Picture1", WS_CHILD | WS_VISIBLE, RECT{0, 0, *w, *h},
                        caption) != nullptr;
}

bool Picture1Box::Fit(int dpi) {
    const auto w = ToPixels(kPicture1DesignWidth, dpi);
    const auto h = ToPixels(kCaptionDesignRect.height, dpi);
    return Handle() && w && h &&
           ::SetWindowPos(Handle(), nullptr, 0, 0, *w, *h,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

LRESULT Picture1Box::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        // Picture1 keeps no image: the program redraws it through the drawing functions, which
        // take the box's DC themselves; BeginPaint/EndPaint validate the area around that.
        ScopedPaint paint(Handle());
        Raise([](Events& e) { e.Picture1Paint(); });
        return 0;
    }
    return Window::OnMessage(msg, wParam, lParam);
}

void Picture1Box::OnGone() {
    style_ = SurfaceStyle{};
}

// --- Where the objects live --------------------------------------------------------------------

FrameWindows& Windows() {
    static FrameWindows windows;
    return windows;
}

HWND WindowOf(Form f) {
    FrameWindows& w = Windows();
    switch (f) {
        case Form::Main:
            return w.main.Handle();
        case Form::Shadow:
            return w.shadow.Handle();
        case Form::Txt:
            return w.caption.Handle();
    }
    return nullptr;
}

HWND WindowOf(Surface s) {
    return s == Surface::Main ? Windows().main.Handle() : Windows().caption.Picture1().Handle();
}

SurfaceStyle& StyleOf(Surface s) {
    return s == Surface::Main ? Windows().main.Style() : Windows().caption.Picture1().Style();
}

HFONT MeasuringFont(Form f) {
    if (f == Form::Main) return Windows().main.MeasuringFont();
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace platform::win32

// The program's window objects (see frame_windows.hpp): their classes, their creation, what
// each holds and how each gives it back. The picture window's message handlers are in
// picture_window.cpp.
#include "platform/win32/windows/frame_windows.hpp"

#include <cmath>

#include "platform/win32/dwm.hpp"
#include "platform/win32/raise.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/units.hpp"
#include "platform/win32/windows/drop_target.hpp"
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

// Registers a window's drop target, kept in `drop` until the window goes; a window that cannot
// take drops is destroyed.
bool RegisterDrops(HWND h, ScopedDropRegistration& drop) {
    drop = RegisterFrameDropTarget(h);
    if (drop) return true;
    ::DestroyWindow(h);
    return false;
}

// The character sets a design asks for are the system's own numbers.
static_assert(static_cast<BYTE>(CharacterSet::Default) == DEFAULT_CHARSET);
static_assert(static_cast<BYTE>(CharacterSet::ShiftJis) == SHIFTJIS_CHARSET);

// A design's font at a dpi; the font mapper substitutes a face when this one is absent.
ScopedFont NewFont(const FontDesign& design, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(design.points * dpi / 72.0));
    lf.lfWeight = design.weight;
    lf.lfCharSet = static_cast<BYTE>(design.charset);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    ::lstrcpynW(lf.lfFaceName, Wide(design.face).c_str(), LF_FACESIZE);
    return ScopedFont(::CreateFontIndirectW(&lf));
}

}  // namespace

// --- What every window keeps of its design -----------------------------------------------------

HWND FrameWindow::CreateFrame(const FrameClass& c, const FormDesign& design) {
    if (!RegisterClassOnce(c.name, c.classStyle, c.background, ProgramIcon())) return nullptr;
    const auto outer = OuterFromClient(design.client, c.style, c.exStyle, FrameDpi());
    HWND h = outer ? CreateLinked(c.exStyle, c.name, c.title, c.style, *outer, nullptr) : nullptr;
    // Windows 11 rounds the corners of a bordered window such as the picture window, not
    // those of the caption strip: every window asks for square ones, so the frame stays square.
    if (h) KeepSquareCorners(h);
    return h;
}

void FrameWindow::TakeDesign(const FormDesign& design, int dpi) {
    design_ = design;
    font_.Reset();
    FitFont(dpi);
}

void FrameWindow::FitFont(int dpi) {
    if (!Handle() || !design_.font) return;
    if (ScopedFont font = NewFont(*design_.font, dpi)) font_ = std::move(font);
}

HFONT FrameWindow::MeasuringFont() const {
    return font_ ? font_.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void FrameWindow::OnGone() {
    font_.Reset();
}

// --- The picture window ------------------------------------------------------------------------

bool PictureWindow::Create(const FormDesign& design) {
    // It paints its whole client area from its image, so it needs no brush. Like its companions
    // it is a tool window: it has no button in the task bar and no place in Alt+Tab (its title
    // is empty); it is reached where it stands on the desktop.
    HWND h = CreateFrame(
        {kMainClass, CS_DBLCLKS, nullptr, L"", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW}, design);
    if (!h) return false;
    dpi_ = WindowDpi(h);
    TakeDesign(design, dpi_);
    if (!RegisterDrops(h, drop_)) return false;
    // Without the hook the frame still works; Show desktop then hides it as any window.
    stand_.Start();
    return true;
}

void PictureWindow::OnGone() {
    FrameWindow::OnGone();
    stand_.Stop();
    pressed_ = moving_ = layoutPending_ = false;
    drop_.Reset();
    drops_.Clear();
    image_.Reset();
    dpi_ = 0;
    style_ = drawing::SurfaceSettings{};
}

// --- The shadow window -------------------------------------------------------------------------

bool ShadowWindow::Create(const FormDesign& design) {
    HWND h = CreateFrame({kShadowClass, 0, ButtonFace(), resources::kShadowTitle, WS_POPUP,
                          WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE},
                         design);
    if (!h) return false;
    TakeDesign(design, FrameDpi());
    // The shadow lies over the picture window whenever it is shown after it. Windows looks
    // through it for the window under the pointer, but Wine hands a drop to the topmost window
    // there: the shadow takes drops for the picture window, so a file dropped on the picture
    // arrives either way.
    return RegisterDrops(h, drop_);
}

void ShadowWindow::OnGone() {
    FrameWindow::OnGone();
    drop_.Reset();
}

// --- The caption window and its picture box ----------------------------------------------------

bool CaptionWindow::Create(const FormDesign& design) {
    HWND h = CreateFrame({kCaptionClass, 0, ButtonFace(), L"", WS_POPUP | WS_CLIPCHILDREN,
                          WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE},
                         design);
    if (!h) return false;
    TakeDesign(design, FrameDpi());
    if (design.box && !picture1_.Create(h, *design.box, FrameDpi())) {
        ::DestroyWindow(h);
        return false;
    }
    return true;
}

bool CaptionWindow::Fit(int dpi) {
    RECT r{};
    HWND h = Handle();
    const auto height = ToPixels(Design().client.height, dpi);
    if (!h || !height || !::GetWindowRect(h, &r)) return false;
    return ::SetWindowPos(h, nullptr, 0, 0, r.right - r.left, *height,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) &&
           (!picture1_.Handle() || picture1_.Fit(dpi));
}

bool Picture1Box::Create(HWND caption, const BoxDesign& design, int dpi) {
    if (!RegisterClassOnce(kPicture1Class, 0, ButtonFace(), nullptr)) return false;
    design_ = design;
    const auto w = ToPixels(design_.width, dpi);
    const auto h = ToPixels(design_.height, dpi);
    if (!w || !h) return false;
    return CreateLinked(0, kPicture1Class, L"Picture1", WS_CHILD | WS_VISIBLE, RECT{0, 0, *w, *h},
                        caption) != nullptr;
}

bool Picture1Box::Fit(int dpi) {
    const auto w = ToPixels(design_.width, dpi);
    const auto h = ToPixels(design_.height, dpi);
    return Handle() && w && h &&
           ::SetWindowPos(Handle(), nullptr, 0, 0, *w, *h,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

LRESULT Picture1Box::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        // Picture1 keeps no image: the program redraws it through the drawing functions, which
        // take the box's DC themselves; BeginPaint/EndPaint validate the area around that.
        ScopedPaint paint(Handle());
        Raise("Picture1Paint", [](Events& e) { e.Picture1Paint(); });
        return 0;
    }
    return Window::OnMessage(msg, wParam, lParam);
}

void Picture1Box::OnGone() {
    style_ = drawing::SurfaceSettings{};
}

// --- Where the objects live --------------------------------------------------------------------

FrameWindows& Windows() {
    static FrameWindows windows;
    return windows;
}

FrameWindow& FrameWindows::Of(Form f) {
    switch (f) {
        case Form::Shadow:
            return shadow;
        case Form::Txt:
            return caption;
        case Form::Main:
            break;
    }
    return main;
}

HWND WindowOf(Form f) {
    return Windows().Of(f).Handle();
}

HWND WindowOf(Surface s) {
    return s == Surface::Main ? Windows().main.Handle() : Windows().caption.Picture1().Handle();
}

drawing::SurfaceSettings& StyleOf(Surface s) {
    return s == Surface::Main ? Windows().main.Style() : Windows().caption.Picture1().Style();
}

HFONT MeasuringFont(Form f) {
    return Windows().Of(f).MeasuringFont();
}

}  // namespace platform::win32

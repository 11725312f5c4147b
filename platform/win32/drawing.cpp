// platform::drawing on Win32: the picture window's client area with its persistent image, and
// the caption's picture box, which keeps no image and is drawn through a DC taken per call.
#include "platform/drawing.hpp"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "imaging/pixels/over_background.hpp"
#include "platform/diagnostics.hpp"
#include "platform/win32/bitmap_info.hpp"
#include "platform/win32/desktop_background.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/main_image_paint.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/units.hpp"
#include "platform/win32/windows/frame_windows.hpp"
#include "platform/win32/windows/persistent_image.hpp"

namespace platform::win32 {

namespace {

PersistentImage& MainImage() {
    return Windows().main.Image();
}

// A colour of the program: RGB in the low three bytes, or a system colour index with the
// high bit set.
static_assert((kButtonFaceColor & 0xFF) == COLOR_BTNFACE);
COLORREF ToColorRef(std::int32_t color) {
    const auto bits = static_cast<std::uint32_t>(color);
    if (bits & 0x80000000u) return ::GetSysColor(static_cast<int>(bits & 0xFFu));
    return static_cast<COLORREF>(bits & 0x00FFFFFFu);
}

// The colour a surface is cleared to, as its window's design says.
COLORREF BackColorOf(Surface s) {
    if (s == Surface::Main) return ToColorRef(Windows().main.Design().backColor);
    return ToColorRef(Windows().caption.Picture1().Design().backColor);
}

// The DC one drawing call draws into: the persistent image of the picture window while its
// AutoRedraw is on, otherwise the DC of the surface's window, taken for this call.
class SurfaceDC {
  public:
    explicit SurfaceDC(Surface s) : window_(WindowOf(s)) {
        if (!window_) return;
        if (s == Surface::Main && StyleOf(s).autoRedraw) {
            if (MainImage().Fit(window_, BackColorOf(s))) dc_ = MainImage().Dc();
        } else {
            windowDc_ = ScopedWindowDC(window_);
            dc_ = windowDc_.Get();
        }
    }
    HDC Get() const { return dc_; }
    HWND Window() const { return window_; }

  private:
    HWND window_;
    ScopedWindowDC windowDc_;
    HDC dc_ = nullptr;
};

// Largest font size drawn, in points. The caption strip is 18 pixels high, so a larger font
// shows nothing more; and some font renderers (Wine's X11 driver among them) end the process
// when asked for glyphs thousands of points high.
constexpr double kMaxFontPoints = 1000;
// The same bound in screen pixels (1000 points at 96 dpi), for screens of high dpi.
constexpr double kMaxFontPixels = kMaxFontPoints * kDesignDpi / 72.0;

// The font for text on a surface. Without a face the system's message font is used, and
// without a size 9 points, so that a caption without settings is still readable.
// The size is in points at the frame's dpi.
ScopedFont SurfaceFont(const drawing::SurfaceSettings& style) {
    LOGFONTW lf{};
    const double points = style.fontSize > 0 ? std::min(style.fontSize, kMaxFontPoints) : 9.0;
    const double pixels = std::min(points * FrameDpi() / 72.0, kMaxFontPixels);
    lf.lfHeight = -static_cast<LONG>(std::lround(pixels));
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (style.fontName.empty()) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            ::lstrcpynW(lf.lfFaceName, metrics.lfMessageFont.lfFaceName, LF_FACESIZE);
    } else {
        ::lstrcpynW(lf.lfFaceName, Wide(style.fontName).c_str(), LF_FACESIZE);
    }
    return ScopedFont(::CreateFontIndirectW(&lf));
}

bool FillClient(HWND window, HDC dc, COLORREF color) {
    RECT client{};
    ScopedBrush brush(::CreateSolidBrush(color));
    return brush && ::GetClientRect(window, &client) && ::FillRect(dc, &client, brush.Get());
}

}  // namespace

void PaintMainFromImage(HWND main, HDC dc, const RECT& area) {
    PersistentImage& image = MainImage();
    const COLORREF back = BackColorOf(Surface::Main);
    if (image.Fit(main, back) && image.PaintTo(dc, area)) return;
    ScopedBrush brush(::CreateSolidBrush(back));
    if (brush) ::FillRect(dc, &area, brush.Get());
}

}  // namespace platform::win32

namespace platform::drawing {

using namespace platform::win32;

bool SetAutoRedraw(Surface s, bool on) {
    HWND window = WindowOf(s);
    if (!window) return false;
    if (s == Surface::Picture1) return !on;  // the picture box keeps no image
    if (on && !MainImage().Fit(window, BackColorOf(s))) return false;
    StyleOf(s).autoRedraw = on;
    return true;
}

bool Cls(Surface s) {
    SurfaceDC target(s);
    if (!target.Get()) return false;
    if (s == Surface::Main && StyleOf(s).autoRedraw) return MainImage().Fill(BackColorOf(s));
    return FillClient(target.Window(), target.Get(), BackColorOf(s));
}

bool Refresh(Surface s) {
    HWND window = WindowOf(s);
    // The picture window repaints everything from its image, so nothing needs erasing first.
    if (!window) return false;
    if (!::InvalidateRect(window, nullptr, s == Surface::Picture1))
        return FailedCall("InvalidateRect");
    if (!::UpdateWindow(window)) return FailedCall("UpdateWindow");
    return true;
}

bool PaintDesktop(Surface s) {
    SurfaceDC target(s);
    return target.Get() && PaintDesktopBackground(target.Window(), target.Get());
}

bool SetFontName(Surface s, std::u16string_view face) {
    if (!WindowOf(s)) return false;
    StyleOf(s).fontName = face;
    return true;
}

bool SetFontSize(Surface s, double points) {
    if (!WindowOf(s) || !std::isfinite(points)) return false;
    StyleOf(s).fontSize = points;
    return true;
}

bool SetForeColor(Surface s, std::int32_t color) {
    if (!WindowOf(s)) return false;
    StyleOf(s).foreColor = color;
    return true;
}

std::optional<units::TwipsPerScreenPixel> DeviceTwipsPerPixelX(Surface s) {
    if (!WindowOf(s)) return std::nullopt;
    return units::TwipsPerScreenPixel(kTwipsPerInch / FrameDpi());
}
std::optional<units::TwipsPerScreenPixel> DeviceTwipsPerPixelY(Surface s) {
    return DeviceTwipsPerPixelX(s);
}

bool DrawTextLine(Surface s, std::u16string_view text, const PixelRect& rect) {
    SurfaceDC target(s);
    HDC dc = target.Get();
    if (!dc) return false;
    if (text.empty()) return true;
    // The image's DC outlives this call: its colours and modes are put back afterwards.
    ScopedDCState state(dc);
    ScopedFont font = SurfaceFont(StyleOf(s));
    if (!font) return false;
    ScopedSelectObject selected(dc, font.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(StyleOf(s).foreColor));
    const auto left = ToDevice(rect.Left), top = ToDevice(rect.Top);
    const auto right = ToDevice(rect.Right), bottom = ToDevice(rect.Bottom);
    if (!left || !top || !right || !bottom) return false;
    RECT r{*left, *top, *right, *bottom};
    const std::wstring wide = Wide(text);
    // One line, clipped to the rectangle, an ampersand drawn as itself.
    if (!::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
                     DT_SINGLELINE | DT_NOPREFIX))
        return FailedCall("DrawTextW");
    return true;
}

bool DrawBitmap(Surface s, Whole<DesignPixels> x, Whole<DesignPixels> y,
                const pictures::Bitmap& bitmap) {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() !=
            static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height))
        return false;
    SurfaceDC target(s);
    const auto left = ToDevice(x), top = ToDevice(y);
    if (!target.Get() || !left || !top) return false;
    const BITMAPINFO info = TopDown32(bitmap.width, bitmap.height);
    // Transparent parts show the surface's own background colour, blended, rather than the
    // black that premultiplied pixels read as: the colour is this backend's, so it is put in
    // here, once, and the portable code keeps its pixels as decoded.
    const COLORREF back = BackColorOf(s);
    std::vector<std::uint32_t> shown;
    try {
        shown = bitmap.pixels;
    } catch (const std::bad_alloc&) {
        diagnostics::Report("DrawBitmap: out of memory for the shown copy");
        return false;
    }
    pictures::PutOverBackground(shown, std::uint32_t{GetRValue(back)} << 16 |
                                           std::uint32_t{GetGValue(back)} << 8 |
                                           std::uint32_t{GetBValue(back)});
    if (!::SetDIBitsToDevice(target.Get(), *left, *top, static_cast<DWORD>(bitmap.width),
                             static_cast<DWORD>(bitmap.height), 0, 0, 0,
                             static_cast<UINT>(bitmap.height), shown.data(), &info, DIB_RGB_COLORS))
        return FailedCall("SetDIBitsToDevice");
    return true;
}

}  // namespace platform::drawing

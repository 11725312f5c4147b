// Drawing on the two surfaces: the picture window's persistent image, text without prefix
// processing, bitmaps, the desktop background, and no GDI object left behind.
#include "platform/drawing.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <string>

#include "platform/win32/scoped.hpp"
#include "platform/win32/windows/persistent_image.hpp"
#include "platform/win32/wine.hpp"
#include "test_support.hpp"
#include "tests/common/picture_bytes.hpp"

namespace {

using namespace units::literals;
using platform::Form;
using platform::Surface;
using vistrelle_test::Pump;
using vistrelle_test::TempDir;
using vistrelle_test::WindowsTest;
namespace drawing = platform::drawing;
namespace windows = platform::windows;

constexpr COLORREF kBack = RGB(32, 32, 32);

platform::pictures::Bitmap Solid(int width, int height, std::uint32_t argb) {
    platform::pictures::Bitmap b;
    b.width = width;
    b.height = height;
    b.pixels.assign(static_cast<std::size_t>(width * height), argb);
    return b;
}

HDC ImageDC() {
    return platform::win32::Windows().main.Image().Dc();
}

SIZE ImageSize() {
    BITMAP info{};
    ::GetObjectW(::GetCurrentObject(ImageDC(), OBJ_BITMAP), sizeof(info), &info);
    return SIZE{info.bmWidth, std::abs(info.bmHeight)};
}

class DrawingTest : public WindowsTest {
  protected:
    // The picture window at its loaded size, drawing into its image, cleared.
    static void ClearedImage() {
        ASSERT_TRUE(windows::Move(Form::Main, 1500_tw, 1500_tw, 2955_tw, 1980_tw));
        ASSERT_TRUE(drawing::SetAutoRedraw(Surface::Main, true));
        ASSERT_TRUE(drawing::Cls(Surface::Main));
    }
};

TEST_F(DrawingTest, AutoRedrawDrawsIntoTheImageOfTheClientSize) {
    ClearedImage();
    ASSERT_NE(ImageDC(), nullptr);
    EXPECT_EQ(ImageSize().cx, windows::ScaleWidth(Form::Main)->Value());
    EXPECT_EQ(ImageSize().cy, windows::ScaleHeight(Form::Main)->Value());
    EXPECT_EQ(::GetPixel(ImageDC(), 0, 0), kBack) << "cleared to the background colour";
    ASSERT_TRUE(drawing::DrawBitmap(Surface::Main, 4_px, 3_px, Solid(2, 2, 0xFFFF0000)));
    EXPECT_EQ(::GetPixel(ImageDC(), 4, 3), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(ImageDC(), 5, 4), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(ImageDC(), 6, 4), kBack);

    // A new client size gives a new image of that size that keeps what was drawn.
    ASSERT_TRUE(windows::SetWidth(Form::Main, 4455_tw));
    ASSERT_TRUE(drawing::DrawBitmap(Surface::Main, 0_px, 0_px, Solid(1, 1, 0xFF00FF00)));
    EXPECT_EQ(ImageSize().cx, windows::ScaleWidth(Form::Main)->Value());
    EXPECT_EQ(::GetPixel(ImageDC(), 4, 3), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(ImageDC(), 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(::GetPixel(ImageDC(), ImageSize().cx - 1, 0), kBack);
}

TEST_F(DrawingTest, TransparentPixelsAreDrawnOverTheBackgroundColour) {
    ClearedImage();
    // Premultiplied: transparent, red at alpha 128, opaque blue.
    const platform::pictures::Bitmap b{3, 1, {0x00000000u, 0x80800000u, 0xFF0000FFu}};
    ASSERT_TRUE(drawing::DrawBitmap(Surface::Main, 0_px, 0_px, b));
    EXPECT_EQ(::GetPixel(ImageDC(), 0, 0), kBack) << "not black: the background shows";
    // 128 + 32 x 127 / 255 in red, 32 x 127 / 255 in green and blue.
    EXPECT_EQ(::GetPixel(ImageDC(), 1, 0), RGB(144, 16, 16));
    EXPECT_EQ(::GetPixel(ImageDC(), 2, 0), RGB(0, 0, 255));
}

TEST_F(DrawingTest, TheImageSurvivesARepaintOfTheWindow) {
    ClearedImage();
    ASSERT_TRUE(drawing::DrawBitmap(Surface::Main, 10_px, 10_px, Solid(20, 10, 0xFF0000FF)));
    ASSERT_TRUE(drawing::SetAutoRedraw(Surface::Main, false));
    ASSERT_TRUE(windows::Show(Form::Main));
    ASSERT_TRUE(drawing::Refresh(Surface::Main));
    Pump();
    HWND h = Window(Form::Main);
    auto windowPixel = [&](int x, int y) {
        HDC dc = ::GetDC(h);
        const COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(h, dc);
        return c;
    };
    EXPECT_EQ(windowPixel(15, 12), RGB(0, 0, 255)) << "the image is on the screen";

    // Without AutoRedraw, Cls clears the window only; a repaint brings the image back.
    ASSERT_TRUE(drawing::Cls(Surface::Main));
    EXPECT_EQ(windowPixel(15, 12), kBack);
    EXPECT_EQ(::GetPixel(ImageDC(), 15, 12), RGB(0, 0, 255)) << "the image is untouched";
    ::InvalidateRect(h, nullptr, TRUE);
    ::UpdateWindow(h);
    EXPECT_EQ(windowPixel(15, 12), RGB(0, 0, 255));
    EXPECT_EQ(windowPixel(5, 5), kBack);
}

// Draws "a&b" the way the backend must (DT_NOPREFIX) or not, into a DIB like the image.
std::vector<COLORREF> Reference(SIZE size, UINT flags, int points, COLORREF color) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    HBRUSH brush = ::CreateSolidBrush(kBack);
    RECT all{0, 0, size.cx, size.cy};
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(points * ::GetDeviceCaps(dc, LOGPIXELSY) / 72.0));
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpyW(lf.lfFaceName, L"Tahoma");
    HFONT font = ::CreateFontIndirectW(&lf);
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    RECT r{2, 1, size.cx, 22};
    ::DrawTextW(dc, L"a&b", 3, &r, flags);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, oldFont);
    ::DeleteObject(font);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

TEST_F(DrawingTest, TextIsDrawnWithoutPrefixProcessing) {
    ClearedImage();
    ASSERT_TRUE(drawing::SetFontName(Surface::Main, u"Tahoma"));
    ASSERT_TRUE(drawing::SetFontSize(Surface::Main, 12));
    ASSERT_TRUE(drawing::SetForeColor(Surface::Main, 0x00FFFFFF));
    ASSERT_TRUE(drawing::DrawTextLine(Surface::Main, u"a&b",
                                      platform::PixelRect{2_px, 1_px, 195_px, 22_px}));

    const SIZE size = ImageSize();
    std::vector<COLORREF> drawn;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) drawn.push_back(::GetPixel(ImageDC(), x, y));
    const auto noPrefix = Reference(size, DT_SINGLELINE | DT_NOPREFIX, 12, RGB(255, 255, 255));
    const auto withPrefix = Reference(size, DT_SINGLELINE, 12, RGB(255, 255, 255));
    ASSERT_NE(noPrefix, withPrefix) << "the reference must tell the two apart";
    EXPECT_TRUE(drawn == noPrefix) << "the ampersand is drawn as itself";
    EXPECT_FALSE(drawn == withPrefix) << "no underlined b";
    // The background shows between the glyphs: only the glyphs were painted.
    EXPECT_EQ(::GetPixel(ImageDC(), size.cx - 1, 10), kBack);
}

TEST_F(DrawingTest, TextIsClippedToItsRectangle) {
    ClearedImage();
    ASSERT_TRUE(drawing::SetForeColor(Surface::Main, 0x00FFFFFF));
    const std::u16string wide(60, u'W');
    ASSERT_TRUE(
        drawing::DrawTextLine(Surface::Main, wide, platform::PixelRect{0_px, 0_px, 20_px, 22_px}));
    const SIZE size = ImageSize();
    for (int y = 0; y < size.cy; ++y)
        for (int x = 20; x < size.cx; ++x)
            ASSERT_EQ(::GetPixel(ImageDC(), x, y), kBack) << "pixel (" << x << "," << y << ")";
    bool inked = false;
    for (int y = 0; y < 22 && !inked; ++y)
        for (int x = 0; x < 20 && !inked; ++x) inked = ::GetPixel(ImageDC(), x, y) != kBack;
    EXPECT_TRUE(inked) << "the default font draws something inside the rectangle";
}

TEST_F(DrawingTest, Picture1DrawsThroughItsOwnDC) {
    ASSERT_TRUE(windows::Show(Form::Txt));
    Pump();
    EXPECT_FALSE(drawing::SetAutoRedraw(Surface::Picture1, true)) << "the box keeps no image";
    EXPECT_TRUE(drawing::SetAutoRedraw(Surface::Picture1, false));
    ASSERT_TRUE(drawing::Cls(Surface::Picture1));
    ASSERT_TRUE(drawing::SetFontName(Surface::Picture1, u""));
    ASSERT_TRUE(drawing::SetFontSize(Surface::Picture1, 0));
    ASSERT_TRUE(drawing::SetForeColor(Surface::Picture1, 0x000000FF));
    EXPECT_TRUE(drawing::DrawTextLine(Surface::Picture1, u"sunset.jpg",
                                      platform::PixelRect{1_px, 1_px, 195_px, 22_px}));
    EXPECT_TRUE(drawing::PaintDesktop(Surface::Picture1));
    EXPECT_TRUE(drawing::Refresh(Surface::Picture1));
}

TEST_F(DrawingTest, BadBitmapsAndGoneWindowsFail) {
    platform::pictures::Bitmap wrong = Solid(3, 3, 0);
    wrong.pixels.pop_back();
    EXPECT_FALSE(drawing::DrawBitmap(Surface::Main, 0_px, 0_px, wrong));
    EXPECT_FALSE(drawing::DrawBitmap(Surface::Main, 0_px, 0_px, platform::pictures::Bitmap{}));
    ASSERT_TRUE(windows::Destroy(Form::Txt));
    EXPECT_FALSE(drawing::Cls(Surface::Picture1));
    EXPECT_FALSE(drawing::DrawTextLine(Surface::Picture1, u"x",
                                       platform::PixelRect{0_px, 0_px, 9_px, 9_px}));
    EXPECT_FALSE(drawing::PaintDesktop(Surface::Picture1));
    EXPECT_FALSE(drawing::Refresh(Surface::Picture1));
    EXPECT_FALSE(drawing::SetFontName(Surface::Picture1, u"Tahoma"));
}

TEST_F(DrawingTest, ANewPictureWindowStartsWithoutAutoRedraw) {
    ASSERT_TRUE(drawing::SetAutoRedraw(Surface::Main, true));
    ASSERT_TRUE(windows::Destroy(Form::Main));
    ASSERT_TRUE(vistrelle_test::Create(Form::Main));
    ASSERT_TRUE(windows::Show(Form::Main));
    Pump();
    // Drawing goes to the window, not into the image that repaints it.
    ASSERT_TRUE(drawing::DrawBitmap(Surface::Main, 0_px, 0_px, Solid(4, 4, 0xFFFF0000)));
    ASSERT_NE(ImageDC(), nullptr) << "the repaint made the image";
    EXPECT_EQ(::GetPixel(ImageDC(), 1, 1), kBack);
    HDC dc = ::GetDC(Window(Form::Main));
    EXPECT_EQ(::GetPixel(dc, 1, 1), RGB(255, 0, 0));
    ::ReleaseDC(Window(Form::Main), dc);
}

TEST(DrawingResources, NoGdiObjectOutlivesTheWindows) {
    const int before = platform::win32::LiveGdiObjects();
    for (Form f : {Form::Main, Form::Shadow, Form::Txt}) ASSERT_TRUE(vistrelle_test::Create(f));
    ASSERT_TRUE(windows::Show(Form::Txt));
    for (int i = 0; i < 20; ++i) {
        for (Surface s : {Surface::Main, Surface::Picture1}) {
            drawing::SetAutoRedraw(s, i % 2 == 0);
            drawing::Cls(s);
            drawing::PaintDesktop(s);
            drawing::SetFontName(s, u"Tahoma");
            drawing::SetFontSize(s, 9 + i % 3);
            drawing::DrawTextLine(s, u"a&b.jpg", platform::PixelRect{1_px, 1_px, 100_px, 22_px});
            drawing::DrawBitmap(s, 0_px, 0_px, Solid(3, 2, 0xFF123456));
            drawing::Refresh(s);
        }
        windows::TextWidth(Form::Main, u"holiday-at-the-seaside.jpg");
        windows::SetWidth(Form::Main, platform::Twips(2000 + 15 * i));  // a new image each time
        Pump();
    }
    EXPECT_LE(platform::win32::LiveGdiObjects(), before + 3)
        << "only the image (DC and bitmap) and the window's font stay while it lives";
    for (Form f : {Form::Main, Form::Shadow, Form::Txt}) ASSERT_TRUE(windows::Destroy(f));
    Pump();
    EXPECT_EQ(platform::win32::LiveGdiObjects(), before);
}

// --- The desktop background under Wine, drawn from the wallpaper ------------------------------

// Sets the wallpaper and its placement for one test, and puts the old ones back.
class WallpaperTest : public WindowsTest {
  protected:
    void SetUp() override {
        if (!platform::win32::IsWine()) GTEST_SKIP() << "Windows paints the desktop itself";
        wchar_t old[MAX_PATH] = {};
        ::SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, old, 0);
        oldWallpaper_ = old;
        oldTile_ = Setting(L"TileWallpaper");
        oldStyle_ = Setting(L"WallpaperStyle");
        WindowsTest::SetUp();
    }
    void TearDown() override {
        if (!platform::win32::IsWine()) return;
        WindowsTest::TearDown();
        ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, oldWallpaper_.data(), SPIF_UPDATEINIFILE);
        SetSetting(L"TileWallpaper", oldTile_);
        SetSetting(L"WallpaperStyle", oldStyle_);
    }

    // An 8 x 8 wallpaper whose every pixel tells its place: red = 30 x, green = 30 y.
    static COLORREF WallpaperPixel(int x, int y) { return RGB(30 * x, 30 * y, 200); }
    void UseWallpaper(const wchar_t* tile, const wchar_t* style) {
        const auto bmp = picture_bytes::Bmp24(8, 8, [](int x, int y) {
            const COLORREF c = WallpaperPixel(x, y);
            return std::uint32_t{GetRValue(c)} << 16 | std::uint32_t{GetGValue(c)} << 8 |
                   std::uint32_t{GetBValue(c)};
        });
        file_ = dir_.Write(L"wallpaper.bmp", picture_bytes::AsString(bmp)).wstring();
        SetSetting(L"TileWallpaper", tile);
        SetSetting(L"WallpaperStyle", style);
        ASSERT_TRUE(
            ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, file_.data(), SPIF_UPDATEINIFILE));
    }
    // Draws the desktop into the image of the picture window with its client at (x, y).
    void PaintDesktopAt(int x, int y) {
        RECT r{x, y, x + 40, y + 30};
        ::AdjustWindowRectEx(&r, WS_POPUP | WS_BORDER, FALSE, WS_EX_APPWINDOW);
        ::SetWindowPos(Window(Form::Main), nullptr, r.left, r.top, r.right - r.left,
                       r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(drawing::SetAutoRedraw(Surface::Main, true));
        ASSERT_TRUE(drawing::PaintDesktop(Surface::Main));
    }

  private:
    static std::wstring Setting(const wchar_t* name) {
        wchar_t text[64] = {};
        DWORD bytes = sizeof(text);
        ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr,
                       text, &bytes);
        return text;
    }
    static void SetSetting(const wchar_t* name, const std::wstring& value) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    TempDir dir_;
    std::wstring file_, oldWallpaper_, oldTile_, oldStyle_;
};

TEST_F(WallpaperTest, TiledWallpaperIsDrawnFromTheScreenOrigin) {
    UseWallpaper(L"1", L"0");
    PaintDesktopAt(101, 53);
    for (int y = 0; y < 30; y += 7)
        for (int x = 0; x < 40; x += 5)
            ASSERT_EQ(::GetPixel(ImageDC(), x, y), WallpaperPixel((101 + x) % 8, (53 + y) % 8))
                << "client pixel (" << x << "," << y << ")";
}

TEST_F(WallpaperTest, CentredWallpaperStandsInTheMiddleOfTheScreen) {
    UseWallpaper(L"0", L"0");
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - 8) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - 8) / 2;
    PaintDesktopAt(left - 10, top - 5);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(::GetPixel(ImageDC(), 10 + x, 5 + y), WallpaperPixel(x, y))
                << "wallpaper pixel (" << x << "," << y << ")";
    EXPECT_NE(::GetPixel(ImageDC(), 0, 0), WallpaperPixel(0, 0)) << "outside the wallpaper";
}

TEST_F(WallpaperTest, StretchedWallpaperCoversTheScreen) {
    UseWallpaper(L"0", L"2");
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    PaintDesktopAt(0, 0);
    EXPECT_EQ(::GetPixel(ImageDC(), 0, 0), WallpaperPixel(0, 0));
    PaintDesktopAt(sw - 40, sh - 30);
    EXPECT_EQ(::GetPixel(ImageDC(), 39, 29), WallpaperPixel(7, 7));
}

}  // namespace

// The desktop background under a window. On Windows PaintDesktop paints it as the desktop
// shows it. Wine's PaintDesktop fills a flat colour even with a wallpaper set, so there the
// wallpaper is decoded (by the picture's own decode chain, whole, and kept while its file stays
// the same: it is drawn many times, stretched or tiled) and drawn here, placed as the desktop
// places it.
#include "platform/win32/desktop_background.hpp"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <new>
#include <optional>
#include <string>

#include "platform/win32/bitmap_info.hpp"
#include "platform/win32/decoding/wallpaper.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/wine.hpp"

namespace platform::win32 {

namespace {

// The decoded wallpaper of the last call, kept while the file is the same (path, size and
// time of writing), so that repaints of the caption do not decode it again.
struct CachedWallpaper {
    std::wstring path;
    WIN32_FILE_ATTRIBUTE_DATA stamp{};
    pictures::Bitmap bitmap;
};

bool SameStamp(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b) {
    return a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow &&
           a.ftLastWriteTime.dwLowDateTime == b.ftLastWriteTime.dwLowDateTime &&
           a.ftLastWriteTime.dwHighDateTime == b.ftLastWriteTime.dwHighDateTime;
}

std::optional<CachedWallpaper>& Cache() {
    static std::optional<CachedWallpaper> cache;
    return cache;
}

const pictures::Bitmap* Wallpaper(const std::wstring& path) {
    std::optional<CachedWallpaper>& cache = Cache();
    WIN32_FILE_ATTRIBUTE_DATA stamp{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &stamp)) return nullptr;
    if (cache && cache->path == path && SameStamp(cache->stamp, stamp)) return &cache->bitmap;
    cache.reset();
    try {
        std::optional<pictures::Bitmap> decoded = DecodeWhole(path);
        if (!decoded) return nullptr;
        cache = CachedWallpaper{path, stamp, std::move(*decoded)};
        return &cache->bitmap;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The wallpaper's path as the desktop settings hold it now, empty without one. Read from the
// registry: Wine answers SPI_GETDESKWALLPAPER with the path the process first asked for.
std::wstring WallpaperPath() {
    // A REG_EXPAND_SZ value comes expanded, as a REG_SZ.
    const wchar_t* key = L"Control Panel\\Desktop";
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, L"Wallpaper", RRF_RT_REG_SZ, nullptr, nullptr,
                       &bytes) != ERROR_SUCCESS ||
        bytes < sizeof(wchar_t))
        return {};
    std::wstring path(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, key, L"Wallpaper", RRF_RT_REG_SZ, nullptr, path.data(),
                       &bytes) != ERROR_SUCCESS)
        return {};
    path.resize(std::wcslen(path.c_str()));
    return path;
}

// A value of HKCU\Control Panel\Desktop as a number; fallback when it is missing.
int DesktopSetting(const wchar_t* name, int fallback) {
    wchar_t text[32] = {};
    DWORD bytes = sizeof(text);
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr,
                       text, &bytes) != ERROR_SUCCESS)
        return fallback;
    return static_cast<int>(std::wcstol(text, nullptr, 10));
}

// Where the wallpaper's image stands on the screen when it is not tiled, by WallpaperStyle:
// 2 stretched, 6 fitted, 10 filled, 22 spanned over all screens, anything else centred.
RECT Placement(int style, int width, int height) {
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    switch (style) {
        case 2:
            return RECT{0, 0, sw, sh};
        case 22: {
            const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
            const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
            return RECT{x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                        y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        }
        case 6:
        case 10: {
            const double sx = static_cast<double>(sw) / width;
            const double sy = static_cast<double>(sh) / height;
            const double scale = style == 6 ? std::min(sx, sy) : std::max(sx, sy);
            const int w = static_cast<int>(std::lround(width * scale));
            const int h = static_cast<int>(std::lround(height * scale));
            return RECT{(sw - w) / 2, (sh - h) / 2, (sw - w) / 2 + w, (sh - h) / 2 + h};
        }
        default:
            return RECT{(sw - width) / 2, (sh - height) / 2, (sw - width) / 2 + width,
                        (sh - height) / 2 + height};
    }
}

// Draws the whole bitmap into the screen rectangle at, shifted into the window's client
// coordinates; the DC clips what lies outside the window.
bool DrawAt(HDC dc, const pictures::Bitmap& bitmap, const RECT& at, POINT origin) {
    const BITMAPINFO info = TopDown32(bitmap.width, bitmap.height);
    return ::StretchDIBits(dc, at.left - origin.x, at.top - origin.y, at.right - at.left,
                           at.bottom - at.top, 0, 0, bitmap.width, bitmap.height,
                           bitmap.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY) != 0;
}

bool PaintWallpaper(HWND window, HDC dc, const pictures::Bitmap& wallpaper) {
    POINT origin{0, 0};
    RECT client{};
    if (!::ClientToScreen(window, &origin) || !::GetClientRect(window, &client)) return false;
    ScopedDCState state(dc);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    const int w = wallpaper.width, h = wallpaper.height;
    if (DesktopSetting(L"TileWallpaper", 0) == 1) {
        // Tiles start at the screen's origin; only those over the window are drawn.
        auto first = [](int from, int size) {
            return from >= 0 ? from / size : -((size - 1 - from) / size);
        };
        const int x0 = first(origin.x, w), y0 = first(origin.y, h);
        for (int ty = y0; ty * h < origin.y + client.bottom; ++ty)
            for (int tx = x0; tx * w < origin.x + client.right; ++tx)
                if (!DrawAt(dc, wallpaper, RECT{tx * w, ty * h, tx * w + w, ty * h + h}, origin))
                    return false;
        return true;
    }
    return DrawAt(dc, wallpaper, Placement(DesktopSetting(L"WallpaperStyle", 0), w, h), origin);
}

}  // namespace

bool PaintDesktopBackground(HWND window, HDC dc) {
    if (!IsWine()) return ::PaintDesktop(dc) != 0;
    // The flat desktop colour first: it stays where a centred or fitted wallpaper does not
    // reach, and it is all there is without a wallpaper.
    const bool painted = ::PaintDesktop(dc) != 0;
    const std::wstring path = WallpaperPath();
    if (path.empty()) return painted;
    const pictures::Bitmap* wallpaper = Wallpaper(path);
    if (!wallpaper) return painted;
    return PaintWallpaper(window, dc, *wallpaper);
}

void ForgetWallpaper() {
    Cache().reset();
}

}  // namespace platform::win32

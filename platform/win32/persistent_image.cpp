// The picture window's persistent image (see persistent_image.hpp).
#include "platform/win32/persistent_image.hpp"

#include <algorithm>

namespace platform::win32 {

bool PersistentImage::Fit(HWND window, COLORREF background) {
    RECT client{};
    if (!window || !::GetClientRect(window, &client)) return false;
    // A DIB section cannot be empty; a window without client area gets one pixel.
    const int width = std::max<int>(1, client.right - client.left);
    const int height = std::max<int>(1, client.bottom - client.top);
    if (dc_.Get() && width == width_ && height == height_) return true;

    ScopedMemDC dc(nullptr);
    if (!dc.Get()) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedBitmap bitmap(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return false;
    ScopedSelectObject selected(dc.Get(), bitmap.Get());
    if (!selected) return false;
    ScopedBrush brush(::CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    if (!brush || !::FillRect(dc.Get(), &all, brush.Get())) return false;
    if (dc_.Get()) ::BitBlt(dc.Get(), 0, 0, width_, height_, dc_.Get(), 0, 0, SRCCOPY);

    Reset();
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    selected_ = std::move(selected);
    width_ = width;
    height_ = height;
    return true;
}

bool PersistentImage::Fill(COLORREF color) {
    if (!dc_.Get()) return false;
    ScopedBrush brush(::CreateSolidBrush(color));
    const RECT all{0, 0, width_, height_};
    return brush && ::FillRect(dc_.Get(), &all, brush.Get()) != 0;
}

bool PersistentImage::PaintTo(HDC dc, const RECT& area) const {
    if (!dc_.Get() || !dc) return false;
    return ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
                    dc_.Get(), area.left, area.top, SRCCOPY) != 0;
}

void PersistentImage::Reset() {
    selected_.Reset();
    bitmap_.Reset();
    dc_.Reset();
    width_ = height_ = 0;
}

}  // namespace platform::win32

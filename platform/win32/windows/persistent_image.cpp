// The picture window's persistent image (see persistent_image.hpp).
#include "platform/win32/windows/persistent_image.hpp"

#include <algorithm>

#include "platform/win32/bitmap_info.hpp"
#include "platform/win32/failure.hpp"
namespace platform::win32 {

bool PersistentImage::Fit(HWND window, COLORREF background) {
    RECT client{};
    if (!window) return false;
    if (!::GetClientRect(window, &client)) return FailedCall("GetClientRect");
    // A DIB section cannot be empty; a window without client area gets one pixel.
    const int width = std::max<int>(1, client.right - client.left);
    const int height = std::max<int>(1, client.bottom - client.top);
    if (dc_.Get() && width == width_ && height == height_) return true;

    ScopedMemDC dc(nullptr);
    if (!dc.Get()) return FailedCall("CreateCompatibleDC");
    const BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    ScopedBitmap bitmap(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return FailedCall("CreateDIBSection");
    ScopedSelectObject selected(dc.Get(), bitmap.Get());
    if (!selected) return FailedCall("SelectObject");
    ScopedBrush brush(::CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    if (!brush) return FailedCall("CreateSolidBrush");
    if (!::FillRect(dc.Get(), &all, brush.Get())) return FailedCall("FillRect");
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
    if (!brush) return FailedCall("CreateSolidBrush");
    if (!::FillRect(dc_.Get(), &all, brush.Get())) return FailedCall("FillRect");
    return true;
}

bool PersistentImage::PaintTo(HDC dc, const RECT& area) const {
    if (!dc_.Get() || !dc) return false;
    if (!::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
                  dc_.Get(), area.left, area.top, SRCCOPY))
        return FailedCall("BitBlt");
    return true;
}

void PersistentImage::Reset() {
    selected_.Reset();
    bitmap_.Reset();
    dc_.Reset();
    width_ = height_ = 0;
}

}  // namespace platform::win32

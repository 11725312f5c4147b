// The picture window's persistent image: a memory DC holding a DIB section of the window's
// client size, into which drawing goes while AutoRedraw is on and from which WM_PAINT repaints.
#pragma once

#include <windows.h>

#include "platform/win32/scoped.hpp"

namespace platform::win32 {

class PersistentImage {
  public:
    // Makes the image as large as the window's client area. A new image is filled with the
    // background colour and keeps what the old one held at its top-left corner.
    bool Fit(HWND window, COLORREF background);
    // The image's DC, or nullptr before the first Fit.
    HDC Dc() const { return dc_.Get(); }
    bool Fill(COLORREF color);
    // Copies the part of the image under area (client coordinates) to dc.
    bool PaintTo(HDC dc, const RECT& area) const;
    void Reset();

  private:
    // Destroyed in reverse order: the selection is undone before the bitmap and DC go.
    ScopedMemDC dc_;
    ScopedBitmap bitmap_;
    ScopedSelectObject selected_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace platform::win32

// Owners of Win32 handles: one small class per kind of handle, so that every handle the backend
// obtains is given back on every path, early returns included. Nothing is released by hand.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <objidl.h>
#include <ole2.h>

#include <utility>

namespace platform::win32 {

// GDI objects and device contexts alive through the owners below (fonts, bitmaps, brushes,
// memory DCs, window DCs). Leak tests compare it before and after a piece of work, since
// GetGuiResources counts nothing under Wine.
int LiveGdiObjects();

namespace detail {
void CountGdi(int delta);
}  // namespace detail

// Owned COM interface pointer.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    // Takes a new reference to p.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // Address to receive a new pointer from a creating call; drops the old one first.
    T** Out() {
        Reset();
        return &p_;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

// A window's DC from GetDC, given back with ReleaseDC.
class ScopedWindowDC {
  public:
    ScopedWindowDC() = default;
    // GetDC of the window; a null window gives the screen's DC.
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {
        if (dc_) detail::CountGdi(1);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    ScopedWindowDC(ScopedWindowDC&& o) noexcept
        : window_(std::exchange(o.window_, nullptr)), dc_(std::exchange(o.dc_, nullptr)) {}
    ScopedWindowDC& operator=(ScopedWindowDC&& o) noexcept {
        if (this != &o) {
            Reset();
            window_ = std::exchange(o.window_, nullptr);
            dc_ = std::exchange(o.dc_, nullptr);
        }
        return *this;
    }
    ~ScopedWindowDC() { Reset(); }
    void Reset() {
        if (HDC dc = std::exchange(dc_, nullptr)) {
            ::ReleaseDC(window_, dc);
            detail::CountGdi(-1);
        }
    }
    HDC Get() const { return dc_; }

  private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// A memory DC from CreateCompatibleDC, deleted with DeleteDC.
class ScopedMemDC {
  public:
    ScopedMemDC() = default;
    explicit ScopedMemDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {
        if (dc_) detail::CountGdi(1);
    }
    ScopedMemDC(const ScopedMemDC&) = delete;
    ScopedMemDC& operator=(const ScopedMemDC&) = delete;
    ScopedMemDC(ScopedMemDC&& o) noexcept : dc_(std::exchange(o.dc_, nullptr)) {}
    ScopedMemDC& operator=(ScopedMemDC&& o) noexcept {
        if (this != &o) {
            Reset();
            dc_ = std::exchange(o.dc_, nullptr);
        }
        return *this;
    }
    ~ScopedMemDC() { Reset(); }
    void Reset() {
        if (HDC dc = std::exchange(dc_, nullptr)) {
            ::DeleteDC(dc);
            detail::CountGdi(-1);
        }
    }
    HDC Get() const { return dc_; }

  private:
    HDC dc_ = nullptr;
};

// A GDI object (font, bitmap, brush) deleted with DeleteObject.
template <class H>
class ScopedGdiObj {
  public:
    ScopedGdiObj() = default;
    // Takes ownership of a freshly created object (null is allowed: creation failed).
    explicit ScopedGdiObj(H h) : h_(h) {
        if (h_) detail::CountGdi(1);
    }
    ScopedGdiObj(const ScopedGdiObj&) = delete;
    ScopedGdiObj& operator=(const ScopedGdiObj&) = delete;
    ScopedGdiObj(ScopedGdiObj&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    ScopedGdiObj& operator=(ScopedGdiObj&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    ~ScopedGdiObj() { Reset(); }
    void Reset() {
        if (H h = std::exchange(h_, nullptr)) {
            ::DeleteObject(h);
            detail::CountGdi(-1);
        }
    }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

  private:
    H h_ = nullptr;
};

using ScopedFont = ScopedGdiObj<HFONT>;
using ScopedBitmap = ScopedGdiObj<HBITMAP>;
using ScopedBrush = ScopedGdiObj<HBRUSH>;

// An object selected into a DC; the previous one is selected back, so that the object can be
// deleted afterwards. Declare it after the owner of the object it selects.
class ScopedSelectObject {
  public:
    ScopedSelectObject() = default;
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc) {
        if (dc_ && object) {
            HGDIOBJ previous = ::SelectObject(dc_, object);
            if (previous && previous != HGDI_ERROR) previous_ = previous;
        }
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    ScopedSelectObject(ScopedSelectObject&& o) noexcept
        : dc_(std::exchange(o.dc_, nullptr)), previous_(std::exchange(o.previous_, nullptr)) {}
    ScopedSelectObject& operator=(ScopedSelectObject&& o) noexcept {
        if (this != &o) {
            Reset();
            dc_ = std::exchange(o.dc_, nullptr);
            previous_ = std::exchange(o.previous_, nullptr);
        }
        return *this;
    }
    ~ScopedSelectObject() { Reset(); }
    void Reset() {
        if (HGDIOBJ previous = std::exchange(previous_, nullptr)) ::SelectObject(dc_, previous);
    }
    bool Ok() const { return previous_ != nullptr; }

  private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The drawing state of a DC (colours, modes, selected objects), restored at the end of a call
// that draws into a DC that lives longer than the call.
class ScopedDCState {
  public:
    explicit ScopedDCState(HDC dc) : dc_(dc), saved_(dc ? ::SaveDC(dc) : 0) {}
    ScopedDCState(const ScopedDCState&) = delete;
    ScopedDCState& operator=(const ScopedDCState&) = delete;
    ~ScopedDCState() {
        if (saved_) ::RestoreDC(dc_, saved_);
    }

  private:
    HDC dc_;
    int saved_;
};

// BeginPaint / EndPaint around the handling of WM_PAINT.
class ScopedPaint {
  public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(::BeginPaint(window, &ps_)) {}
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    ~ScopedPaint() { ::EndPaint(window_, &ps_); }
    HDC Get() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// A kernel HANDLE (file, process, thread), closed with CloseHandle.
class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE h = nullptr) : h_(h) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() {
        if (Valid()) ::CloseHandle(h_);
    }
    bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }

  private:
    HANDLE h_;
};

// A menu handle not attached to a window, destroyed with DestroyMenu (submenus with it).
class ScopedMenu {
  public:
    explicit ScopedMenu(HMENU h = nullptr) : h_(h) {}
    ScopedMenu(const ScopedMenu&) = delete;
    ScopedMenu& operator=(const ScopedMenu&) = delete;
    ScopedMenu(ScopedMenu&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    ScopedMenu& operator=(ScopedMenu&& o) noexcept {
        if (this != &o) {
            if (h_) ::DestroyMenu(h_);
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    ~ScopedMenu() {
        if (h_) ::DestroyMenu(h_);
    }
    HMENU Get() const { return h_; }
    // Hands the menu over to a parent menu that now owns it.
    HMENU Release() { return std::exchange(h_, nullptr); }

  private:
    HMENU h_;
};

// A storage medium filled by IDataObject::GetData, given back with ReleaseStgMedium.
class ScopedStgMedium {
  public:
    ScopedStgMedium() = default;
    ScopedStgMedium(const ScopedStgMedium&) = delete;
    ScopedStgMedium& operator=(const ScopedStgMedium&) = delete;
    ~ScopedStgMedium() {
        if (medium_.tymed != TYMED_NULL) ::ReleaseStgMedium(&medium_);
    }
    STGMEDIUM* Out() { return &medium_; }
    const STGMEDIUM& Get() const { return medium_; }

  private:
    STGMEDIUM medium_{};
};

}  // namespace platform::win32

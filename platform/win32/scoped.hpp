// Owners of Win32 handles: one owner template, and one small traits record per kind of handle,
// so that every handle the backend obtains is given back on every path, early returns included.
// Nothing is released by hand. Every owner can be moved and reset, answers "does it hold
// something" through its explicit bool conversion, and hands its handle over with Release().
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

// Owns one Value as Traits describe it:
//   using Value = ...;                      the handle, or a record that holds it
//   static bool Valid(const Value&);        whether it holds something
//   static void Free(Value&);               gives it back (only called when Valid)
//   static auto Get(const Value&);          what Get() returns
//   static void Taken(const Value&);        optional: runs when a valid value is taken over
// A default-constructed Value holds nothing.
template <class Traits>
class Owner {
  public:
    using Value = typename Traits::Value;

    Owner() = default;
    // Takes over a value just obtained (an invalid one is allowed: obtaining it failed).
    explicit Owner(Value v) : v_(std::move(v)) {
        if constexpr (requires { Traits::Taken(v_); }) {
            if (Traits::Valid(v_)) Traits::Taken(v_);
        }
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    Owner(Owner&& o) noexcept : v_(std::exchange(o.v_, Value{})) {}
    Owner& operator=(Owner&& o) noexcept {
        if (this != &o) {
            Reset();
            v_ = std::exchange(o.v_, Value{});
        }
        return *this;
    }
    ~Owner() { Reset(); }

    // Gives back what is held; the owner then holds nothing.
    void Reset() {
        Value old = std::exchange(v_, Value{});
        if (Traits::Valid(old)) Traits::Free(old);
    }
    // Address to receive a value from a creating call; what was held goes first.
    Value* Out() {
        Reset();
        return &v_;
    }
    // Hands the value over to a new owner (a parent menu, the caller); this one holds nothing.
    Value Release() { return std::exchange(v_, Value{}); }

    decltype(auto) Get() const { return Traits::Get(v_); }
    explicit operator bool() const { return Traits::Valid(v_); }

  protected:
    const Value& Held() const { return v_; }

  private:
    Value v_{};
};

// --- COM -----------------------------------------------------------------------------------------

template <class T>
struct ComTraits {
    using Value = T*;
    static bool Valid(T* p) { return p != nullptr; }
    static void Free(T* p) { p->Release(); }
    static T* Get(T* p) { return p; }
};

// Owned COM interface pointer. Constructed from a pointer it takes over the reference that
// came with it (a new object, an out-parameter); Share adds a reference of its own.
template <class T>
class ComPtr : public Owner<ComTraits<T>> {
  public:
    using Owner<ComTraits<T>>::Owner;
    static ComPtr Share(T* p) {
        if (p) p->AddRef();
        return ComPtr(p);
    }
    T* operator->() const { return this->Get(); }
};

// --- Device contexts ---------------------------------------------------------------------------

struct WindowDcValue {
    HWND window = nullptr;
    HDC dc = nullptr;
};
struct WindowDcTraits {
    using Value = WindowDcValue;
    static bool Valid(const Value& v) { return v.dc != nullptr; }
    static void Free(const Value& v) {
        ::ReleaseDC(v.window, v.dc);
        detail::CountGdi(-1);
    }
    static void Taken(const Value&) { detail::CountGdi(1); }
    static HDC Get(const Value& v) { return v.dc; }
};
// A window's DC from GetDC, given back with ReleaseDC; a null window gives the screen's DC.
class ScopedWindowDC : public Owner<WindowDcTraits> {
  public:
    ScopedWindowDC() = default;
    explicit ScopedWindowDC(HWND window) : Owner(WindowDcValue{window, ::GetDC(window)}) {}
};

struct MemDcTraits {
    using Value = HDC;
    static bool Valid(HDC dc) { return dc != nullptr; }
    static void Free(HDC dc) {
        ::DeleteDC(dc);
        detail::CountGdi(-1);
    }
    static void Taken(HDC) { detail::CountGdi(1); }
    static HDC Get(HDC dc) { return dc; }
};
// A memory DC from CreateCompatibleDC, deleted with DeleteDC.
class ScopedMemDC : public Owner<MemDcTraits> {
  public:
    ScopedMemDC() = default;
    explicit ScopedMemDC(HDC compatibleWith) : Owner(::CreateCompatibleDC(compatibleWith)) {}
};

// --- GDI objects -------------------------------------------------------------------------------

template <class H>
struct GdiObjectTraits {
    using Value = H;
    static bool Valid(H h) { return h != nullptr; }
    static void Free(H h) {
        ::DeleteObject(h);
        detail::CountGdi(-1);
    }
    static void Taken(H) { detail::CountGdi(1); }
    static H Get(H h) { return h; }
};
// A GDI object (font, bitmap, brush) just created, deleted with DeleteObject.
template <class H>
using ScopedGdiObj = Owner<GdiObjectTraits<H>>;
using ScopedFont = ScopedGdiObj<HFONT>;
using ScopedBitmap = ScopedGdiObj<HBITMAP>;
using ScopedBrush = ScopedGdiObj<HBRUSH>;

struct SelectionValue {
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
};
struct SelectionTraits {
    using Value = SelectionValue;
    static bool Valid(const Value& v) { return v.previous != nullptr; }
    static void Free(const Value& v) { ::SelectObject(v.dc, v.previous); }
    static HGDIOBJ Get(const Value& v) { return v.previous; }
};
// An object selected into a DC; the previous one is selected back, so that the object can be
// deleted afterwards. Declare it after the owner of the object it selects. Holds nothing when
// the selection failed.
class ScopedSelectObject : public Owner<SelectionTraits> {
  public:
    ScopedSelectObject() = default;
    ScopedSelectObject(HDC dc, HGDIOBJ object) : Owner(Select(dc, object)) {}

  private:
    static SelectionValue Select(HDC dc, HGDIOBJ object) {
        if (!dc || !object) return {};
        HGDIOBJ previous = ::SelectObject(dc, object);
        if (!previous || previous == HGDI_ERROR) return {};
        return {dc, previous};
    }
};

struct DcStateValue {
    HDC dc = nullptr;
    int saved = 0;
};
struct DcStateTraits {
    using Value = DcStateValue;
    static bool Valid(const Value& v) { return v.saved != 0; }
    static void Free(const Value& v) { ::RestoreDC(v.dc, v.saved); }
    static int Get(const Value& v) { return v.saved; }
};
// The drawing state of a DC (colours, modes, selected objects), restored at the end of a call
// that draws into a DC that lives longer than the call.
class ScopedDCState : public Owner<DcStateTraits> {
  public:
    ScopedDCState() = default;
    explicit ScopedDCState(HDC dc) : Owner(DcStateValue{dc, dc ? ::SaveDC(dc) : 0}) {}
};

struct PaintValue {
    HWND window = nullptr;
    PAINTSTRUCT ps{};
    HDC dc = nullptr;
};
struct PaintTraits {
    using Value = PaintValue;
    // EndPaint is owed whenever BeginPaint ran, even when it gave no DC.
    static bool Valid(const Value& v) { return v.window != nullptr; }
    static void Free(const Value& v) { ::EndPaint(v.window, &v.ps); }
    static HDC Get(const Value& v) { return v.dc; }
};
// BeginPaint / EndPaint around the handling of WM_PAINT.
class ScopedPaint : public Owner<PaintTraits> {
  public:
    ScopedPaint() = default;
    explicit ScopedPaint(HWND window) : Owner(Begin(window)) {}
    const RECT& Area() const { return Held().ps.rcPaint; }

  private:
    static PaintValue Begin(HWND window) {
        PaintValue v;
        v.dc = ::BeginPaint(window, &v.ps);
        v.window = window;
        return v;
    }
};

// --- Kernel, menus, OLE, hooks -----------------------------------------------------------------

struct KernelHandleTraits {
    using Value = HANDLE;
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { ::CloseHandle(h); }
    static HANDLE Get(HANDLE h) { return h; }
};
// A kernel HANDLE (file, process, thread), closed with CloseHandle.
using ScopedHandle = Owner<KernelHandleTraits>;

struct FindTraits {
    using Value = HANDLE;
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { ::FindClose(h); }
    static HANDLE Get(HANDLE h) { return h; }
};
// A listing of a folder (FindFirstFileExW), ended with FindClose.
using ScopedFind = Owner<FindTraits>;

struct ChangeNotificationTraits {
    using Value = HANDLE;
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { ::FindCloseChangeNotification(h); }
    static HANDLE Get(HANDLE h) { return h; }
};
// A watch on a folder (FindFirstChangeNotificationW), ended with FindCloseChangeNotification.
using ScopedChangeNotification = Owner<ChangeNotificationTraits>;

struct DeviceNotificationTraits {
    using Value = HDEVNOTIFY;
    static bool Valid(HDEVNOTIFY h) { return h != nullptr; }
    static void Free(HDEVNOTIFY h) { ::UnregisterDeviceNotification(h); }
    static HDEVNOTIFY Get(HDEVNOTIFY h) { return h; }
};
// A registration for a device's events (RegisterDeviceNotificationW), ended with
// UnregisterDeviceNotification.
using ScopedDeviceNotification = Owner<DeviceNotificationTraits>;

struct MenuTraits {
    using Value = HMENU;
    static bool Valid(HMENU h) { return h != nullptr; }
    static void Free(HMENU h) { ::DestroyMenu(h); }
    static HMENU Get(HMENU h) { return h; }
};
// A menu handle not attached to a window, destroyed with DestroyMenu (submenus with it).
using ScopedMenu = Owner<MenuTraits>;

struct StgMediumTraits {
    using Value = STGMEDIUM;
    static bool Valid(const STGMEDIUM& m) { return m.tymed != TYMED_NULL; }
    static void Free(STGMEDIUM& m) { ::ReleaseStgMedium(&m); }
    static const STGMEDIUM& Get(const STGMEDIUM& m) { return m; }
};
// A storage medium filled by IDataObject::GetData, given back with ReleaseStgMedium.
using ScopedStgMedium = Owner<StgMediumTraits>;

// A window's registration as an OLE drop target, revoked with RevokeDragDrop.
struct DropRegistrationTraits {
    using Value = HWND;
    static bool Valid(HWND h) { return h != nullptr; }
    static void Free(HWND h) { ::RevokeDragDrop(h); }
    static HWND Get(HWND h) { return h; }
};
using ScopedDropRegistration = Owner<DropRegistrationTraits>;

// A hook of window events (SetWinEventHook), removed with UnhookWinEvent.
struct WinEventHookTraits {
    using Value = HWINEVENTHOOK;
    static bool Valid(HWINEVENTHOOK h) { return h != nullptr; }
    static void Free(HWINEVENTHOOK h) { ::UnhookWinEvent(h); }
    static HWINEVENTHOOK Get(HWINEVENTHOOK h) { return h; }
};
using ScopedWinEventHook = Owner<WinEventHookTraits>;

}  // namespace platform::win32

// The picture window's OLE drop target: drags over the window become DragOver events, with a
// DropData that wraps the source's IDataObject; a drop's file list is copied out and becomes a
// DragDrop event from the picture window's queue.
#include "platform/win32/windows/drop_target.hpp"

#include <shellapi.h>

#include <new>

#include "platform/events.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/raise.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/windows/frame_windows.hpp"

namespace platform::win32 {

namespace {

// The drop effects the program answers with are the system's own values.
static_assert(static_cast<DWORD>(DropEffect::None) == DROPEFFECT_NONE);
static_assert(static_cast<DWORD>(DropEffect::Copy) == DROPEFFECT_COPY);

// The drop data of one event: the source's data object, asked for its file list (CF_HDROP in
// global memory).
class DataObjectDropData final : public DropData {
  public:
    explicit DataObjectDropData(IDataObject* data) : data_(data) {}

    std::optional<bool> OffersFiles() override {
        if (!data_) return false;
        FORMATETC format = FileListFormat();
        const HRESULT hr = data_->QueryGetData(&format);
        if (hr == S_OK) return true;
        // "Not offered" answers; any other failure means the question itself failed.
        if (hr == S_FALSE || hr == DV_E_FORMATETC || hr == DV_E_TYMED || hr == DV_E_DVASPECT ||
            hr == DV_E_LINDEX || hr == DV_E_CLIPFORMAT)
            return false;
        FailedCall("IDataObject::QueryGetData", hr);
        return std::nullopt;
    }

    std::optional<std::vector<std::u16string>> Files() override {
        if (!data_) return std::nullopt;
        FORMATETC format = FileListFormat();
        ScopedStgMedium medium;
        const HRESULT hr = data_->GetData(&format, medium.Out());
        if (FAILED(hr)) {
            FailedCall("IDataObject::GetData", hr);
            return std::nullopt;
        }
        if (medium.Get().tymed != TYMED_HGLOBAL) return std::nullopt;
        auto drop = static_cast<HDROP>(medium.Get().hGlobal);
        try {
            std::vector<std::u16string> files;
            const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
                std::wstring path(length + 1, L'\0');
                const UINT copied = ::DragQueryFileW(drop, i, path.data(), length + 1);
                path.resize(copied);
                // Wine counts the terminator of an empty list as one empty name; an empty name
                // is no path under any system.
                if (!path.empty()) files.push_back(U16(path));
            }
            return files;
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
    }

  private:
    // The file list comes in global memory.
    static FORMATETC FileListFormat() {
        return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    }

    IDataObject* data_;
};

// The drop data of a drop taken from its source: the paths copied out of it.
class CopiedDropData final : public DropData {
  public:
    explicit CopiedDropData(const DroppedFiles& files) : files_(files) {}
    std::optional<bool> OffersFiles() override {
        return files_ ? std::optional<bool>(true) : std::nullopt;
    }
    std::optional<std::vector<std::u16string>> Files() override { return files_; }

  private:
    const DroppedFiles& files_;
};

void RaiseDrop(const DroppedFiles& files) {
    CopiedDropData data(files);
    Raise("DragDrop", [&](Events& e) { e.DragDrop(data); });
}

class DropTarget final : public IDropTarget {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        data_ = ComPtr<IDataObject>::Share(data);
        return AskDragOver(effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        return AskDragOver(effect);
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        data_.Reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        data_.Reset();
        if (!effect) return E_INVALIDARG;
        // The drop handler leaves the effect alone: the one of the last drag-over stands.
        *effect &= lastEffect_;
        // The source (Explorer) waits for this call: the list is copied and the picture loaded
        // from the picture window's queue, or here and now should posting fail.
        DroppedFiles files = DataObjectDropData(data).Files();
        HWND main = WindowOf(Form::Main);
        if (!main || !Windows().main.Drops().Post(main, files)) RaiseDrop(files);
        return S_OK;
    }

  private:
    // Asks the program for the effect (State is not used). The program is offered the copy
    // when the source allows it, and its answer stands only as far as the source allows.
    HRESULT AskDragOver(DWORD* effect) {
        if (!effect) return E_INVALIDARG;
        const DWORD allowed = *effect & DROPEFFECT_COPY;
        DropEffect answer = allowed ? DropEffect::Copy : DropEffect::None;
        bool asked = false;
        DataObjectDropData dropData(data_.Get());
        Raise("DragOver", [&](Events& e) {
            e.DragOver(dropData, answer);
            asked = true;
        });
        lastEffect_ = asked ? static_cast<DWORD>(answer) & allowed : DROPEFFECT_NONE;
        *effect = lastEffect_;
        return S_OK;
    }

    ULONG refs_ = 1;
    ComPtr<IDataObject> data_;
    DWORD lastEffect_ = DROPEFFECT_NONE;
};

}  // namespace

bool WaitingDrops::Post(HWND window, DroppedFiles& files) {
    try {
        drops_.push_back(std::move(files));
    } catch (const std::bad_alloc&) {
        return false;  // nothing kept
    }
    if (::PostMessageW(window, kDropWaitingMessage, 0, 0)) return true;
    files = std::move(drops_.back());
    drops_.pop_back();
    return FailedCall("PostMessageW");
}

void WaitingDrops::RaiseOldest() {
    if (drops_.empty()) return;
    const DroppedFiles files = std::move(drops_.front());
    drops_.pop_front();
    RaiseDrop(files);
}

ComPtr<IDropTarget> NewDropTarget() {
    // Born with one reference, which the owner takes over.
    return ComPtr<IDropTarget>(new (std::nothrow) DropTarget());
}

ScopedDropRegistration RegisterFrameDropTarget(HWND window) {
    ComPtr<IDropTarget> target = NewDropTarget();
    // RegisterDragDrop keeps its own reference until RevokeDragDrop.
    if (!target) return {};
    const HRESULT hr = ::RegisterDragDrop(window, target.Get());
    if (FAILED(hr)) {
        FailedCall("RegisterDragDrop", hr);
        return {};
    }
    return ScopedDropRegistration(window);
}

}  // namespace platform::win32

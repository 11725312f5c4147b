// The picture window's drop target: a data object with a file list, as a file manager offers
// it, dragged over and dropped, reaches the program as DragOver and DragDrop events.
#include <windows.h>
// After <windows.h>, whose types they use.
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/windows/drop_target.hpp"
#include "test_support.hpp"

namespace {

using platform::win32::ComPtr;
using vistrelle_test::RecordingEvents;

// A data object that offers one file list (CF_HDROP in global memory), or nothing.
class FileListData final : public IDataObject {
  public:
    explicit FileListData(std::vector<std::wstring> files, bool offerFiles = true)
        : files_(std::move(files)), offerFiles_(offerFiles) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the stack
    ULONG refs() const { return refs_; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        std::wstring list;
        // Each name ends with a NUL and the list with one more; an empty list is two NULs.
        for (const auto& f : files_) list += f + L'\0';
        list.append(files_.empty() ? 2 : 1, L'\0');
        const SIZE_T bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
        HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
        auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
               list.size() * sizeof(wchar_t));
        ::GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!offerFiles_ || format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
        return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    std::vector<std::wstring> files_;
    bool offerFiles_;
    ULONG refs_ = 1;
};

// With the program's windows, whose picture window's queue a drop goes through.
class DropTargetTest : public vistrelle_test::WindowsTest {
  protected:
    void SetUp() override {
        WindowsTest::SetUp();
        platform::SetEvents(&events_);
    }
    RecordingEvents events_;
    ComPtr<IDropTarget> target_ = platform::win32::NewDropTarget();
    POINTL at_{10, 10};
};

TEST_F(DropTargetTest, AFileListIsAcceptedAndDroppedInOrder) {
    FileListData data({L"C:\\pictures\\one.jpg", L"Z:\\tmp\\夕阳.bmp", L"C:\\three.gif"});
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    ASSERT_EQ(target_->DragEnter(&data, MK_LBUTTON, at_, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(events_.offeredFileList, true);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target_->DragOver(MK_LBUTTON, at_, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target_->Drop(&data, 0, at_, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(events_.lines.back(), "DragOver(1)") << "Drop returns before the picture loads";
    EXPECT_EQ(data.refs(), 1u) << "the target keeps no reference after the drop";
    vistrelle_test::Pump();

    const std::vector<std::string> expected = {"DragOver(1)", "DragOver(1)", "DragDrop"};
    EXPECT_EQ(events_.lines, expected) << "the program is offered the copy the source allows";
    const std::vector<std::u16string> files = {u"C:\\pictures\\one.jpg", u"Z:\\tmp\\夕阳.bmp",
                                               u"C:\\three.gif"};
    EXPECT_EQ(events_.droppedFiles, files);
}

TEST_F(DropTargetTest, DataWithoutAFileListIsRefusedWhenTheProgramSaysNone) {
    FileListData text({}, false);
    events_.dragAnswer = platform::DropEffect::None;
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target_->DragEnter(&text, MK_LBUTTON, at_, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(events_.offeredFileList, false);
    ASSERT_EQ(target_->DragLeave(), S_OK);
    EXPECT_EQ(text.refs(), 1u) << "the target lets the data go when the drag leaves";
}

TEST_F(DropTargetTest, AnEmptyFileListDropsNoPaths) {
    FileListData data({});
    events_.droppedFiles = {u"stale"};
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target_->DragEnter(&data, MK_LBUTTON, at_, &effect), S_OK);
    ASSERT_EQ(target_->Drop(&data, 0, at_, &effect), S_OK);
    vistrelle_test::Pump();
    EXPECT_EQ(events_.lines.back(), "DragDrop");
    EXPECT_TRUE(events_.droppedFiles.empty()) << events_.droppedFiles.size() << " paths came";
}

// A file list is refused when the source allows no copy, or when no program listens.
TEST_F(DropTargetTest, NothingIsAcceptedWithoutCopyOrWithoutAProgram) {
    for (const bool listening : {true, false}) {
        platform::SetEvents(listening ? &events_ : nullptr);
        FileListData data({L"C:\\a.jpg"});
        DWORD effect = listening ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
        ASSERT_EQ(target_->DragEnter(&data, MK_LBUTTON, at_, &effect), S_OK);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << listening;
        target_->DragLeave();
    }
}

}  // namespace

// platform::folders on Win32: FindFirstFileExW lists (one listing at a time, on a worker
// thread), StrCmpLogicalW orders as Explorer does, GetFileAttributesExW stamps, and a change
// notification handle watches the folder; the message loop waits on it beside the window
// messages (events.cpp), and the picture window hands on the device events that ask for
// the folder's volume to be let go.
#include "platform/folders.hpp"

#include <windows.h>
// After <windows.h>, whose types they use.
#include <dbt.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include "platform/win32/failure.hpp"
#include "platform/win32/folder_watch.hpp"
#include "platform/win32/raise.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/windows/frame_windows.hpp"

namespace platform::win32 {

namespace {

// A path the file functions take at any length: a full path of MAX_PATH characters or more is
// handed over in its \\?\ form, which no length limit applies to.
std::wstring AnyLength(std::u16string_view path) {
    std::wstring p = Wide(path);
    if (p.size() < MAX_PATH - 12 || p.starts_with(L"\\\\?\\")) return p;
    if (p.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + p.substr(2);
    if (p.size() > 2 && p[1] == L':' && p[2] == L'\\') return L"\\\\?\\" + p;
    return p;
}

// The watch on one folder. Beside the change notification it holds a handle on the folder
// itself, registered for the device events of the volume under it, so that a stick or card
// being ejected can ask the frame to let go: both handles hold the volume (Microsoft's
// "Processing a Request to Remove a Device"; DEV_BROADCAST_HANDLE).
struct Watch {
    std::wstring folder;
    ScopedChangeNotification handle;
    ScopedHandle directory;
    ScopedDeviceNotification device;
    // The folder's handle the device events name, kept as a value once the handle is closed:
    // the events that follow a removal request name it still.
    HANDLE named = nullptr;
    void Close() {
        handle.Reset();
        directory.Reset();
    }
    void End() {
        device.Reset();
        Close();
        folder.clear();
        named = nullptr;
    }
};
Watch& TheWatch() {
    static Watch watch;
    return watch;
}

// Watches w.folder: the change notification first, then the folder's handle and its device
// events, which a volume that sends none (a network share, Wine's drives) may refuse.
bool Begin(Watch& w) {
    ScopedChangeNotification handle(::FindFirstChangeNotificationW(
        w.folder.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE));
    if (!handle) return FailedCall("FindFirstChangeNotificationW");
    w.handle = std::move(handle);
    w.device.Reset();
    w.directory =
        ScopedHandle(::CreateFileW(w.folder.c_str(), FILE_LIST_DIRECTORY,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    w.named = w.directory ? w.directory.Get() : nullptr;
    HWND main = WindowOf(Form::Main);
    if (!w.directory || !main) return true;
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof(filter);
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = w.directory.Get();
    w.device = ScopedDeviceNotification(
        ::RegisterDeviceNotificationW(main, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    if (!w.device) FailedCall("RegisterDeviceNotificationW");
    return true;
}

}  // namespace

HANDLE FolderWatchHandle() {
    return TheWatch().handle.Get();
}

HANDLE FolderWatchDirectory() {
    const Watch& w = TheWatch();
    return w.directory ? w.directory.Get() : nullptr;
}

void FolderWatchSignalled() {
    // Armed again first: a change made while the program handles this one signals anew.
    Watch& w = TheWatch();
    if (!::FindNextChangeNotification(w.handle.Get())) {
        // The folder went away: nothing is watched until the program watches again.
        FailedCall("FindNextChangeNotification");
        w.End();
    }
    Raise("FolderChanged", [](Events& e) { e.FolderChanged(); });
}

void FolderWatchDeviceEvent(WPARAM event, LPARAM data) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_HANDLE) return;
    const auto* about = reinterpret_cast<const DEV_BROADCAST_HANDLE*>(data);
    Watch& w = TheWatch();
    const bool ours = (w.device && about->dbch_hdevnotify == w.device.Get()) ||
                      (w.named && about->dbch_handle == w.named);
    if (!ours || w.folder.empty()) return;
    switch (event) {
        case DBT_DEVICEQUERYREMOVE:
            // Let go at once; the picture stays, held in memory. The registration stays too,
            // so that a removal called off is heard.
            w.Close();
            break;
        case DBT_DEVICEQUERYREMOVEFAILED:
            // Still there: watched again, on new handles.
            if (!w.handle) {
                w.device.Reset();
                if (!Begin(w)) w.End();
            }
            break;
        case DBT_DEVICEREMOVEPENDING:
        case DBT_DEVICEREMOVECOMPLETE:
            w.End();
            break;
        default:
            return;
    }
    // A listing kept from before is no longer known to be fresh.
    Raise("FolderChanged", [](Events& e) { e.FolderChanged(); });
}

}  // namespace platform::win32

namespace platform::folders {

using namespace platform::win32;

namespace {

// The folder's files in no particular order; empty when the folder cannot be listed whole. Runs
// on a worker thread too: it touches nothing but the file system and the debug output.
std::optional<std::vector<std::u16string>> ListFiles(std::u16string_view folder) {
    try {
        std::wstring pattern = AnyLength(folder);
        if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
        pattern += L'*';
        WIN32_FIND_DATAW found{};
        ScopedFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            FailedCall("FindFirstFileExW");
            return std::nullopt;
        }
        std::vector<std::u16string> names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(U16(found.cFileName));
        } while (::FindNextFileW(find.Get(), &found));
        // Cut short (a network error part-way): what came is not the folder.
        if (::GetLastError() != ERROR_NO_MORE_FILES) {
            FailedCall("FindNextFileW");
            return std::nullopt;
        }
        return names;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

using Listing = std::optional<std::vector<std::u16string>>;

Listing ListAndOrder(const std::u16string& folder) {
    Listing names = ListFiles(folder);
    if (names)
        std::ranges::stable_sort(*names, [](const std::u16string& a, const std::u16string& b) {
            return CompareNames(a, b) < 0;
        });
    return names;
}

// The one background listing. Each ask counts; the worker lists while a count is newer than
// the one its last listing began at, so that changes during a listing cost one listing more,
// however many they are. A result answers the count its listing began at.
struct Lister {
    std::mutex lock;
    std::condition_variable settled;
    std::u16string folder;
    std::uint64_t asked = 0, begun = 0, answered = 0;
    bool running = false;
    Listing result;
};
// Shared with the worker, which may outlive the program's statics.
const std::shared_ptr<Lister>& TheLister() {
    static const auto lister = std::make_shared<Lister>();
    return lister;
}

void RunListings(const std::shared_ptr<Lister>& l) {
    std::unique_lock hold(l->lock);
    while (l->begun != l->asked) {
        const std::uint64_t count = l->begun = l->asked;
        const std::u16string folder = l->folder;
        hold.unlock();
        Listing names;
        try {
            names = ListAndOrder(folder);
        } catch (...) {
            names.reset();
        }
        hold.lock();
        if (l->folder == folder) l->result = std::move(names), l->answered = count;
    }
    l->running = false;
    l->settled.notify_all();
}

}  // namespace

void PrepareListing(std::u16string_view folder) {
    const std::shared_ptr<Lister>& l = TheLister();
    try {
        std::lock_guard hold(l->lock);
        if (l->folder != folder) l->folder = std::u16string(folder), l->result.reset();
        ++l->asked;
        if (l->running) return;  // the worker lists once more when it ends
        std::thread([l] { RunListings(l); }).detach();
        l->running = true;
    } catch (const std::exception&) {
        // No thread: the listing is made when it is asked for.
        std::lock_guard hold(l->lock);
        l->folder.clear();
    }
}

Listing ListInOrder(std::u16string_view folder) {
    try {
        {
            const std::shared_ptr<Lister>& l = TheLister();
            std::unique_lock hold(l->lock);
            if (!l->folder.empty() && l->folder == folder) {
                l->settled.wait(hold, [&] { return !l->running || l->answered == l->asked; });
                if (l->answered == l->asked && l->folder == folder) {
                    l->folder.clear();  // taken: the next ask lists anew
                    return std::move(l->result);
                }
            }
        }
        return ListAndOrder(std::u16string(folder));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    const std::wstring wa = Wide(a), wb = Wide(b);
    return ::CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                                  static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

int CompareNames(std::u16string_view a, std::u16string_view b) {
    // StrCmpLogicalW takes NUL-ended texts.
    const std::wstring wa = Wide(a), wb = Wide(b);
    return ::StrCmpLogicalW(wa.c_str(), wb.c_str());
}

std::optional<Stamp> StampOf(std::u16string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(AnyLength(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;  // not there: not a failure worth naming
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    const auto join = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    return Stamp{join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
                 join(data.nFileSizeHigh, data.nFileSizeLow)};
}

bool Watch(std::u16string_view folder) {
    auto& w = TheWatch();
    std::wstring wanted = AnyLength(folder);
    if (w.handle && w.folder == wanted) return true;
    w.End();
    if (wanted.empty()) return true;
    w.folder = std::move(wanted);
    if (Begin(w)) return true;
    w.End();
    return false;
}

bool Watching(std::u16string_view folder) {
    const auto& w = TheWatch();
    const std::wstring asked = AnyLength(folder);
    return w.handle && !asked.empty() && asked.size() <= INT_MAX && w.folder.size() <= INT_MAX &&
           ::CompareStringOrdinal(asked.data(), static_cast<int>(asked.size()), w.folder.data(),
                                  static_cast<int>(w.folder.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace platform::folders

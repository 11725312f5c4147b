// platform::folders on Win32: FindFirstFileExW lists, StrCmpLogicalW orders as Explorer does,
// GetFileAttributesExW stamps, and a change notification handle watches the folder; the
// message loop waits on it beside the window messages (events.cpp).
#include "platform/folders.hpp"

#include <windows.h>
// After <windows.h>, whose types they use.
#include <shlwapi.h>

#include <algorithm>
#include <future>
#include <memory>
#include <new>
#include <thread>
#include <utility>

#include "platform/win32/failure.hpp"
#include "platform/win32/folder_watch.hpp"
#include "platform/win32/raise.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/text.hpp"

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

struct Watch {
    std::wstring folder;
    ScopedChangeNotification handle;
};
Watch& TheWatch() {
    static Watch watch;
    return watch;
}

}  // namespace

HANDLE FolderWatchHandle() {
    return TheWatch().handle.Get();
}

void FolderWatchSignalled() {
    // Armed again first: a change made while the program handles this one signals anew.
    Watch& w = TheWatch();
    if (!::FindNextChangeNotification(w.handle.Get())) {
        // The folder went away: nothing is watched until the program watches again.
        FailedCall("FindNextChangeNotification");
        w.handle.Reset();
        w.folder.clear();
    }
    Raise("FolderChanged", [](Events& e) { e.FolderChanged(); });
}

}  // namespace platform::win32

namespace platform::folders {

using namespace platform::win32;

namespace {

// The folder's files in no particular order. Runs on a worker thread too: it touches nothing
// but the file system and the debug output.
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
        if (::GetLastError() != ERROR_NO_MORE_FILES) FailedCall("FindNextFileW");
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

// The listing under way on a worker thread, or done. The thread owns its job with the program:
// a job let go finishes on its own, and nothing waits for it.
struct Job {
    std::u16string folder;
    std::shared_future<Listing> result;
};
std::shared_ptr<Job>& Prepared() {
    static std::shared_ptr<Job> job;
    return job;
}

}  // namespace

void PrepareListing(std::u16string_view folder) {
    try {
        auto job = std::make_shared<Job>();
        job->folder = std::u16string(folder);
        auto promise = std::make_shared<std::promise<Listing>>();
        job->result = promise->get_future().share();
        std::thread([folder = job->folder, promise] {
            try {
                promise->set_value(ListAndOrder(folder));
            } catch (...) {
                promise->set_value(std::nullopt);
            }
        }).detach();
        Prepared() = std::move(job);
    } catch (const std::exception&) {
        Prepared().reset();  // no thread: the listing is made when it is asked for
    }
}

Listing ListInOrder(std::u16string_view folder) {
    try {
        if (const auto job = std::exchange(Prepared(), nullptr); job && job->folder == folder)
            return job->result.get();
        return ListAndOrder(std::u16string(folder));
    } catch (const std::exception&) {
        return std::nullopt;
    }
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
    w.handle.Reset();
    w.folder.clear();
    if (wanted.empty()) return true;
    ScopedChangeNotification handle(::FindFirstChangeNotificationW(
        wanted.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE));
    if (!handle) return FailedCall("FindFirstChangeNotificationW");
    w.handle = std::move(handle);
    w.folder = std::move(wanted);
    return true;
}

}  // namespace platform::folders

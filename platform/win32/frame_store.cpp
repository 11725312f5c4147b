// platform::frame_store on Win32: records under %LOCALAPPDATA%\Vistrelle\Frames\<folder>\, where
// <folder> is a digest of the program folder's path (so that two unpacked copies keep their
// frames apart), one "<identity>.frame" file each, replaced through "<identity>.new"; an
// identity is held by a named mutex for as long as its frame runs.
#include "platform/frame_store.hpp"

#include <windows.h>
// After <windows.h>, whose types they use.
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/shell.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/text.hpp"

namespace platform::frame_store {

using namespace platform::win32;

namespace {

// FNV-1a over the program folder's path in upper case, as Windows compares paths.
std::wstring FolderDigest() {
    const auto folder = shell::ExeFolder();
    if (!folder) return {};
    std::wstring path = Wide(*folder);
    if (!path.empty()) ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    std::uint64_t h = 14695981039346656037ull;
    for (wchar_t c : path) {
        h ^= static_cast<std::uint16_t>(c);
        h *= 1099511628211ull;
    }
    wchar_t text[17] = {};
    for (int i = 15; i >= 0; --i, h >>= 4) text[i] = L"0123456789abcdef"[h & 15];
    return text;
}

// The store's folder; empty when local application data cannot be found.
std::wstring StoreFolder() {
    static const std::wstring folder = [] {
        wchar_t base[MAX_PATH] = {};
        if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                      base))) {
            FailedCall("SHGetFolderPathW");
            return std::wstring();
        }
        const std::wstring digest = FolderDigest();
        if (digest.empty()) return std::wstring();
        return std::wstring(base) + L"\\Vistrelle\\Frames\\" + digest;
    }();
    return folder;
}

// Creates the store's folder and those above it.
bool MakeStore(const std::wstring& folder) {
    for (std::size_t at = folder.find(L'\\', 3);; at = folder.find(L'\\', at + 1)) {
        const std::wstring part = folder.substr(0, at);
        if (!::CreateDirectoryW(part.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return FailedCall("CreateDirectoryW");
        if (at == std::wstring::npos) return true;
    }
}

std::wstring RecordPath(std::u16string_view identity, const wchar_t* ending) {
    const std::wstring folder = StoreFolder();
    if (folder.empty()) return {};
    return folder + L"\\" + Wide(identity) + ending;
}

std::wstring MutexName(std::u16string_view identity) {
    return L"Local\\Vistrelle.frame." + FolderDigest() + L"." + Wide(identity);
}

// This process's claims, held until it ends.
std::vector<ScopedHandle>& Claims() {
    static std::vector<ScopedHandle> claims;
    return claims;
}

}  // namespace

std::vector<std::u16string> List() {
    std::vector<std::u16string> ids;
    const std::wstring folder = StoreFolder();
    if (folder.empty()) return ids;
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = folder + L"\\*.frame";
    ScopedFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0));
    if (!find) return ids;
    try {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            std::wstring_view name(found.cFileName);
            constexpr std::wstring_view ending = L".frame";
            if (name.size() <= ending.size() || !name.ends_with(ending)) continue;
            name.remove_suffix(ending.size());
            ids.push_back(U16(name));
        } while (::FindNextFileW(find.Get(), &found));
    } catch (const std::bad_alloc&) {
    }
    return ids;
}

std::optional<std::string> Read(std::u16string_view identity, std::size_t limit) {
    const std::wstring path = RecordPath(identity, L".frame");
    if (path.empty()) return std::nullopt;
    ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
    try {
        std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(
                              static_cast<std::uint64_t>(size.QuadPart), limit)),
                          '\0');
        DWORD got = 0;
        if (!bytes.empty() &&
            !::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
            return std::nullopt;
        bytes.resize(got);
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool Write(std::u16string_view identity, std::string_view bytes) {
    const std::wstring path = RecordPath(identity, L".frame");
    const std::wstring fresh = RecordPath(identity, L".new");
    if (path.empty() || !MakeStore(StoreFolder())) return false;
    {
        ScopedHandle file(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return FailedCall("CreateFileW");
        DWORD wrote = 0;
        if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote,
                         nullptr) ||
            wrote != bytes.size()) {
            file.Reset();
            ::DeleteFileW(fresh.c_str());
            return FailedCall("WriteFile");
        }
        // On the disk before it takes the old record's place.
        if (!::FlushFileBuffers(file.Get())) FailedCall("FlushFileBuffers");
    }
    if (!::MoveFileExW(fresh.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(fresh.c_str());
        return FailedCall("MoveFileExW");
    }
    return true;
}

bool Remove(std::u16string_view identity) {
    const std::wstring path = RecordPath(identity, L".frame");
    if (path.empty()) return false;
    if (::DeleteFileW(path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND ||
        ::GetLastError() == ERROR_PATH_NOT_FOUND)
        return true;
    return FailedCall("DeleteFileW");
}

std::u16string NewIdentity() {
    GUID g{};
    if (FAILED(::CoCreateGuid(&g))) {
        // Still unique enough on one machine: the time and the process.
        FILETIME t{};
        ::GetSystemTimeAsFileTime(&t);
        g.Data1 = t.dwLowDateTime;
        g.Data2 = static_cast<WORD>(t.dwHighDateTime);
        g.Data3 = static_cast<WORD>(::GetCurrentProcessId());
    }
    unsigned char bytes[16];
    static_assert(sizeof(bytes) == sizeof(g));
    std::memcpy(bytes, &g, sizeof(g));
    std::u16string id;
    for (unsigned char b : bytes) {
        id += u"0123456789abcdef"[b >> 4];
        id += u"0123456789abcdef"[b & 15];
    }
    return id;
}

bool Claim(std::u16string_view identity) {
    const std::wstring name = MutexName(identity);
    ScopedHandle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!mutex) return FailedCall("CreateMutexW");
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;
    try {
        Claims().push_back(std::move(mutex));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool Held(std::u16string_view identity) {
    const std::wstring name = MutexName(identity);
    ScopedHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
    return static_cast<bool>(mutex);
}

}  // namespace platform::frame_store

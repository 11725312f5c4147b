// The display's colour profile: the file Windows names for the device context of the window's
// monitor (GetICMProfileW), read once per file name. No name, or a file that cannot be read,
// leaves the display sRGB. (Wine 8 names Windows' sRGB file for every display, and has it.)
#include <windows.h>

#include <string>
#include <vector>

#include "imaging/colour/icc_chunks.hpp"
#include "platform/drawing.hpp"
#include "platform/win32/failure.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/windows/frame_windows.hpp"

namespace platform::drawing {

namespace {

// The profile's bytes, or none when the file cannot be read whole or is beyond the budget.
std::vector<std::uint8_t> ProfileFile(const std::wstring& path) {
    win32::ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > static_cast<LONGLONG>(icc::kMaxProfileBytes))
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
        got != bytes.size()) {
        win32::FailedCall("ReadFile");
        return {};
    }
    return icc::Checked(std::move(bytes)).bytes;
}

}  // namespace

std::vector<std::uint8_t> DisplayColourProfile(Surface s) {
    // The file last read, by its name: a move between monitors finds the other's at once.
    static std::wstring lastPath;
    static std::vector<std::uint8_t> lastBytes;
    const HWND window = win32::WindowOf(s);
    if (!window) return {};
    win32::ScopedWindowDC dc(window);
    if (!dc.Get()) return {};
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH;
    // Without a profile of the monitor's own, Windows reports none or the sRGB file.
    if (!::GetICMProfileW(dc.Get(), &length, path)) return {};
    if (path != lastPath) {
        lastBytes = ProfileFile(path);
        lastPath = path;
    }
    return lastBytes;
}

}  // namespace platform::drawing

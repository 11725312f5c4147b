// platform::profile on Win32: one value of an INI file through GetPrivateProfileStringW.
#include "platform/profile.hpp"

#include <windows.h>

#include <algorithm>
#include <new>

#include "platform/win32/text.hpp"

namespace platform::profile {

std::optional<std::u16string> ReadString(std::u16string_view path, std::u16string_view section,
                                         std::u16string_view key, std::size_t capacity) {
    if (capacity == 0) return std::u16string();
    try {
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(capacity, 0x7FFFFFFF));
        std::wstring buffer(size, L'\0');
        const std::wstring file = win32::Wide(path);
        const std::wstring sectionName = win32::Wide(section);
        const std::wstring keyName = win32::Wide(key);
        const DWORD copied = ::GetPrivateProfileStringW(sectionName.c_str(), keyName.c_str(), L"",
                                                        buffer.data(), size, file.c_str());
        buffer.resize(std::min<DWORD>(copied, size));
        // The value ends at its first NUL.
        return win32::U16(std::wstring_view(buffer.c_str()));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace platform::profile

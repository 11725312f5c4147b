// The portable text type and Win32's wide strings hold the same UTF-16 units.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

inline std::wstring Wide(std::u16string_view s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}
inline std::u16string U16(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

}  // namespace platform::win32

// Reading one value of a Windows profile (INI) file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::profile {

// The value of key in section of the file, or the empty text when the file, the section or
// the key is missing. At most capacity - 1 characters arrive.
std::optional<std::u16string> ReadString(std::u16string_view path, std::u16string_view section,
                                         std::u16string_view key, std::size_t capacity);

}  // namespace platform::profile

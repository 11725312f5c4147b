// UTF-16 text as UTF-8, for files and lines the program writes.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// A surrogate without its partner becomes U+FFFD.
std::string ToUtf8(std::u16string_view s);

}  // namespace platform

#include "app/main_mod.hpp"

#include "platform/profile.hpp"
#include "platform/shell.hpp"

namespace mainMod {

std::u16string AppFolder() {
    std::u16string folder = platform::shell::ExeFolder().value_or(std::u16string());
    if (folder.empty() || folder.back() != u'\\') folder += u'\\';
    return folder;
}

std::u16string ReadOption(std::u16string_view section, std::u16string_view key) {
    // The buffer of 255 characters keeps at most 254 of a value.
    constexpr std::size_t kBufferChars = 255;
    const std::u16string path = AppFolder() + u"option.ini";
    std::u16string value =
        platform::profile::ReadString(path, section, key, kBufferChars).value_or(std::u16string());
    const std::size_t nul = value.find(u'\0');
    if (nul != std::u16string::npos) value.resize(nul);
    return value;
}

}  // namespace mainMod

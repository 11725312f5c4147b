// Recording backend: the profile reader reads the recorder's in-memory files with the
// portable reader, which follows the rules of the Windows one.
#include "platform/profile.hpp"

#include "platform/recording/ini_reader.hpp"
#include "platform/recording/recorder.hpp"

namespace platform::profile {

using recording::Rec;
using recording::Utf8;

std::optional<std::u16string> ReadString(std::u16string_view path, std::u16string_view section,
                                         std::u16string_view key, std::size_t capacity) {
    if (!Rec().Record("ReadString(" + Utf8(path) + "," + Utf8(section) + "," + Utf8(key) + "," +
                      std::to_string(capacity) + ")"))
        return std::nullopt;
    auto it = Rec().files.find(std::u16string(path));
    if (it == Rec().files.end()) return std::u16string();
    return LookUpValue(it->second, section, key, capacity);
}

}  // namespace platform::profile

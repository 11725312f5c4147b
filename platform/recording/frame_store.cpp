// Recording backend: the store of remembered frames in the recorder's world.
#include "platform/frame_store.hpp"

#include <algorithm>

#include "platform/recording/recorder.hpp"

namespace platform::frame_store {

using recording::Rec;
using recording::Utf8;

namespace {
bool In(const std::vector<std::u16string>& ids, std::u16string_view id) {
    return std::ranges::find(ids, id) != ids.end();
}
}  // namespace

std::vector<std::u16string> List() {
    if (!Rec().Record("ListFrames()")) return {};
    std::vector<std::u16string> ids;
    for (const auto& [id, text] : Rec().frameRecords) ids.push_back(id);
    return ids;
}

std::optional<std::string> Read(std::u16string_view identity, std::size_t limit) {
    if (!Rec().Record("ReadFrame(" + Utf8(identity) + ")")) return std::nullopt;
    const auto it = Rec().frameRecords.find(std::u16string(identity));
    if (it == Rec().frameRecords.end()) return std::nullopt;
    return it->second.substr(0, limit);
}

bool Write(std::u16string_view identity, std::string_view bytes) {
    if (!Rec().Record("WriteFrame(" + Utf8(identity) + ")")) return false;
    Rec().frameRecords[std::u16string(identity)] = std::string(bytes);
    return true;
}

bool Remove(std::u16string_view identity) {
    if (!Rec().Record("RemoveFrame(" + Utf8(identity) + ")")) return false;
    Rec().frameRecords.erase(std::u16string(identity));
    return true;
}

std::u16string NewIdentity() {
    Rec().Record("NewIdentity()");
    std::u16string id(32, u'0');
    for (unsigned n = ++Rec().identitiesMade, i = 32; n && i > 0; n /= 16)
        id[--i] = u"0123456789abcdef"[n % 16];
    return id;
}

bool Claim(std::u16string_view identity) {
    if (!Rec().Record("ClaimFrame(" + Utf8(identity) + ")")) return false;
    if (In(Rec().heldElsewhere, identity) || In(Rec().claimed, identity)) return false;
    Rec().claimed.emplace_back(identity);
    return true;
}

bool Held(std::u16string_view identity) {
    Rec().Record("FrameHeld(" + Utf8(identity) + ")");
    return In(Rec().heldElsewhere, identity) || In(Rec().claimed, identity);
}

}  // namespace platform::frame_store

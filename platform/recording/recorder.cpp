// The recording backend's journal and world: see recorder.hpp.
#include "platform/recording/recorder.hpp"

#include <cmath>
#include <cstdio>

namespace platform::recording {

Recorder& Rec() {
    static Recorder recorder;
    return recorder;
}

void Recorder::Reset() {
    *this = Recorder{};
}

bool Recorder::Record(std::string op) {
    for (const std::string& prefix : failing_) {
        if (op.compare(0, prefix.size(), prefix) == 0) {
            ops_.push_back(std::move(op) + " failed");
            return false;
        }
    }
    ops_.push_back(std::move(op));
    return true;
}

std::vector<std::string> Recorder::OpsStartingWith(
    std::initializer_list<std::string_view> prefixes) const {
    std::vector<std::string> out;
    for (const std::string& op : ops_)
        for (std::string_view p : prefixes)
            if (op.compare(0, p.size(), p) == 0) {
                out.push_back(op);
                break;
            }
    return out;
}

std::string Num(double v) {
    char buf[64];
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", v);
    else
        std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

std::string Utf8(std::u16string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace platform::recording

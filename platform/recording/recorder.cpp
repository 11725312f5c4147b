// The recording backend's journal and world: see recorder.hpp.
#include "platform/recording/recorder.hpp"

#include <cmath>
#include <cstdio>

#include "platform/utf8.hpp"

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
    return ToUtf8(s);
}

}  // namespace platform::recording

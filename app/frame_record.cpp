#include "app/frame_record.hpp"

#include <charconv>
#include <limits>
#include <vector>

#include "platform/utf8.hpp"

namespace frame_record {

namespace {

constexpr std::string_view kFirstLine = "Vistrelle frame 1";

// Well-formed UTF-8 without control characters to UTF-16, at most `most` characters; empty for
// anything else (overlong forms, surrogates, a cut sequence, U+FFFD).
std::optional<std::u16string> Utf16(std::string_view s, std::size_t most) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::uint32_t c = 0;
        std::size_t n = 0;
        if (b < 0x80) {
            c = b, n = 1;
        } else if (b >= 0xC2 && b < 0xE0) {
            c = b & 0x1F, n = 2;
        } else if (b >= 0xE0 && b < 0xF0) {
            c = b & 0x0F, n = 3;
        } else if (b >= 0xF0 && b < 0xF5) {
            c = b & 0x07, n = 4;
        } else {
            return std::nullopt;
        }
        if (i + n > s.size()) return std::nullopt;
        for (std::size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (t & 0x3F);
        }
        const bool overlong = (n == 3 && c < 0x800) || (n == 4 && c < 0x10000);
        if (overlong || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000) || c == 0xFFFD || c < 0x20 ||
            c == 0x7F)
            return std::nullopt;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        if (out.size() > most) return std::nullopt;
        i += n;
    }
    return out;
}

// A decimal integer (optional minus, digits only) within [least, most].
std::optional<std::int64_t> Number(std::string_view s, std::int64_t least, std::int64_t most) {
    if (s.empty() || s.size() > 20 || s.front() == '+') return std::nullopt;
    std::int64_t v = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (error != std::errc{} || end != s.data() + s.size() || v < least || v > most)
        return std::nullopt;
    return v;
}

std::optional<bool> Truth(std::string_view s) {
    if (s == "True") return true;
    if (s == "False") return false;
    return std::nullopt;
}

// Numbers separated by single blanks.
std::optional<std::vector<std::int64_t>> Numbers(std::string_view s, std::size_t count,
                                                 std::int64_t least, std::int64_t most) {
    std::vector<std::int64_t> out;
    while (out.size() < count) {
        const std::size_t blank = s.find(' ');
        const auto v = Number(s.substr(0, blank), least, most);
        if (!v) return std::nullopt;
        out.push_back(*v);
        if (blank == std::string_view::npos) break;
        s.remove_prefix(blank + 1);
    }
    if (out.size() != count || s.find(' ') != std::string_view::npos) return std::nullopt;
    return out;
}

template <typename T>
std::optional<T> Narrow(std::optional<std::int64_t> v) {
    if (!v) return std::nullopt;
    return static_cast<T>(*v);
}

void Line(std::string& out, std::string_view key, std::string_view value) {
    out.append(key).append("=").append(value).append("\n");
}

}  // namespace

std::string Write(const Record& r) {
    std::string out(kFirstLine);
    out += '\n';
    const auto number = [](std::int64_t v) { return std::to_string(v); };
    const auto truth = [](bool b) { return std::string(b ? "True" : "False"); };
    if (r.picture) Line(out, "Picture", platform::ToUtf8(*r.picture));
    const Place& p = r.place;
    if (p.monitor) Line(out, "Monitor", platform::ToUtf8(*p.monitor));
    if (p.monitorArea)
        Line(out, "MonitorArea",
             number(p.monitorArea->left) + " " + number(p.monitorArea->top) + " " +
                 number(p.monitorArea->width) + " " + number(p.monitorArea->height));
    if (p.offset) Line(out, "Place", number(p.offset->x) + " " + number(p.offset->y));
    if (p.dpi) Line(out, "Dpi", number(*p.dpi));
    if (r.size) Line(out, "Size", number(*r.size));
    if (r.opacity) Line(out, "Opacity", number(*r.opacity));
    if (r.shadow) Line(out, "Shadow", number(*r.shadow));
    if (r.caption) Line(out, "Caption", truth(*r.caption));
    if (r.pace) Line(out, "Pace", number(*r.pace));
    if (r.shuffle) Line(out, "Shuffle", truth(*r.shuffle));
    if (r.lock) Line(out, "Lock", truth(*r.lock));
    return out;
}

Record Read(std::string_view text) {
    if (text.size() > kMostBytes) text = text.substr(0, kMostBytes);
    Record r;
    Place& p = r.place;
    // Each field once: the first line that gives it decides, sound or not.
    const auto take = [](auto& field, auto value, bool& seen) {
        if (seen) return;
        seen = true;
        field = value;
    };
    bool seen[12] = {};
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        constexpr std::int64_t far = kFarthest;
        if (key == "Picture") {
            auto path = Utf16(value, kLongestPath);
            if (path && path->empty()) path.reset();
            take(r.picture, path, seen[0]);
        } else if (key == "Monitor") {
            auto device = Utf16(value, kLongestDevice);
            if (device && device->empty()) device.reset();
            take(p.monitor, device, seen[1]);
        } else if (key == "MonitorArea") {
            std::optional<PixelBox> box;
            if (const auto v = Numbers(value, 4, -far, far); v && (*v)[2] > 0 && (*v)[3] > 0)
                box = PixelBox{
                    static_cast<std::int32_t>((*v)[0]), static_cast<std::int32_t>((*v)[1]),
                    static_cast<std::int32_t>((*v)[2]), static_cast<std::int32_t>((*v)[3])};
            take(p.monitorArea, box, seen[2]);
        } else if (key == "Place") {
            std::optional<PixelPoint> at;
            if (const auto v = Numbers(value, 2, -far, far))
                at = PixelPoint{static_cast<std::int32_t>((*v)[0]),
                                static_cast<std::int32_t>((*v)[1])};
            take(p.offset, at, seen[3]);
        } else if (key == "Dpi") {
            take(p.dpi, Narrow<std::int32_t>(Number(value, 24, 2400)), seen[4]);
        } else if (key == "Size") {
            take(r.size, Narrow<std::int16_t>(Number(value, 0, 2)), seen[5]);
        } else if (key == "Opacity") {
            take(r.opacity, Narrow<std::int16_t>(Number(value, 0, 2)), seen[6]);
        } else if (key == "Shadow") {
            take(r.shadow, Narrow<std::int16_t>(Number(value, 0, 3)), seen[7]);
        } else if (key == "Caption") {
            take(r.caption, Truth(value), seen[8]);
        } else if (key == "Pace") {
            take(r.pace, Narrow<std::uint32_t>(Number(value, 0, 0x7FFFFFFF / 1000)), seen[9]);
        } else if (key == "Shuffle") {
            take(r.shuffle, Truth(value), seen[10]);
        } else if (key == "Lock") {
            take(r.lock, Truth(value), seen[11]);
        }
    }
    return r;
}

}  // namespace frame_record

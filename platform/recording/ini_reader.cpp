#include "platform/recording/ini_reader.hpp"

#include <cstdint>

namespace platform::profile {

namespace {

// --- Decoding -----------------------------------------------------------------------------

// Windows-1252 bytes 0x80 to 0x9F; every other byte stands for the code point of its value.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
    }
}

// UTF-8 as MultiByteToWideChar(CP_UTF8) decodes it on Windows Vista and later and in Wine:
// each maximal invalid piece becomes one U+FFFD; a sequence cut off by the end of the text
// becomes one U+FFFD that takes the rest of the text with it.
std::u16string DecodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    auto at = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
    while (i < n) {
        const std::uint8_t lead = at(i++);
        if (lead < 0x80) {
            out.push_back(lead);
            continue;
        }
        std::size_t trail = 0;
        std::uint32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            cp = lead & 0x07;
        } else {
            out.push_back(0xFFFD);
            continue;
        }
        if (trail > n - i) {
            out.push_back(0xFFFD);
            break;
        }
        // The checks of each stage, in order; a failed check ends the piece after the bytes
        // taken so far.
        bool valid = false;
        std::uint32_t c = 0;
        switch (trail) {
            case 3:
                if ((c = at(i) ^ 0x80u) >= 0x40) break;
                cp = (cp << 6) | c;
                ++i;
                if (cp < 0x10) break;  // overlong four-byte form
                [[fallthrough]];
            case 2:
                if ((c = at(i) ^ 0x80u) >= 0x40) break;
                cp = (cp << 6) | c;
                if (cp >= (0x110000u >> 6)) break;  // beyond U+10FFFF
                ++i;
                if (cp < 0x20) break;                   // overlong three-byte form
                if (cp >= 0x360 && cp <= 0x37F) break;  // a surrogate
                [[fallthrough]];
            case 1:
                if ((c = at(i) ^ 0x80u) >= 0x40) break;
                cp = (cp << 6) | c;
                ++i;
                valid = true;
                break;
        }
        if (valid) {
            AppendCodePoint(out, cp);
        } else {
            out.push_back(0xFFFD);
        }
    }
    return out;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto b0 = static_cast<std::uint8_t>(bytes[i]);
        const auto b1 = static_cast<std::uint8_t>(bytes[i + 1]);
        out.push_back(static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0));
    }
    return out;
}

std::u16string DecodeFile(std::string_view bytes, AnsiDecoder decode) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return DecodeUtf8(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
    return (decode != nullptr ? decode : DecodeWindows1252)(bytes);
}

// --- Text helpers -------------------------------------------------------------------------

bool IsBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The reader keeps names and values as NUL-terminated strings: text after a NUL is lost.
std::u16string_view UpToNul(std::u16string_view s) {
    const auto nul = s.find(u'\0');
    return nul == std::u16string_view::npos ? s : s.substr(0, nul);
}

// The small letter of a capital letter of the scripts the comparison knows; any other
// character as it is.
char16_t Fold(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
    // Latin-1 Supplement: À-Þ except ×.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
    // Latin Extended-A: pairs of capital and small letters.
    if ((c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) ||
        (c >= 0x014A && c <= 0x0177)) {
        return static_cast<char16_t>(c | 1);
    }
    if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E)) {
        return (c & 1) ? static_cast<char16_t>(c + 1) : c;
    }
    if (c == 0x0178) return 0x00FF;  // Ÿ
    // Greek.
    if (c == 0x0386) return 0x03AC;
    if (c >= 0x0388 && c <= 0x038A) return static_cast<char16_t>(c + 0x25);
    if (c == 0x038C) return 0x03CC;
    if (c == 0x038E || c == 0x038F) return static_cast<char16_t>(c + 0x3F);
    if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return static_cast<char16_t>(c + 0x20);
    if (c == 0x03C2) return 0x03C3;  // final sigma
    // Cyrillic.
    if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);
    if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);
    return c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

std::u16string Finish(std::u16string_view value, std::size_t capacity) {
    value = UpToNul(value);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    if (value.size() > capacity - 1) value = value.substr(0, capacity - 1);
    return std::u16string(value);
}

}  // namespace

std::u16string DecodeWindows1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        out.push_back(b >= 0x80 && b <= 0x9F ? kWindows1252High[b - 0x80] : char16_t{b});
    }
    return out;
}

std::u16string LookUpValue(std::string_view fileBytes, std::u16string_view section,
                           std::u16string_view key, std::size_t capacity, AnsiDecoder decode) {
    if (capacity <= 1) return {};
    const std::u16string text = DecodeFile(fileBytes, decode);
    const std::u16string_view wantSection = Trim(UpToNul(section));
    const std::u16string_view wantKey = Trim(UpToNul(key));

    const std::u16string_view all(text);
    bool inWantedSection = false;  // inside the first section of the name asked for
    std::size_t pos = 0;
    while (pos < all.size()) {
        const std::size_t end = all.find_first_of(u"\r\n", pos);
        const std::size_t lineEnd = end == std::u16string_view::npos ? all.size() : end;
        const std::u16string_view line = Trim(all.substr(pos, lineEnd - pos));
        pos = lineEnd;
        while (pos < all.size() && (all[pos] == u'\r' || all[pos] == u'\n')) ++pos;
        if (line.empty()) continue;

        if (line.front() == u'[') {
            const std::size_t close = line.rfind(u']');
            if (close != std::u16string_view::npos && close > 0) {
                // Only the first section of the name is searched.
                if (inWantedSection) return {};
                const std::u16string_view name = UpToNul(Trim(line.substr(1, close - 1)));
                inWantedSection = SameName(name, wantSection);
                continue;
            }
            // A '[' line without ']' is an ordinary line.
        }
        if (!inWantedSection) continue;

        const std::size_t eq = line.find(u'=');
        const std::u16string_view name =
            UpToNul(Trim(eq == std::u16string_view::npos ? line : line.substr(0, eq)));
        if (!SameName(name, wantKey)) continue;
        if (eq == std::u16string_view::npos) return {};  // a key without a value
        return Finish(Trim(line.substr(eq + 1)), capacity);
    }
    return {};
}

}  // namespace platform::profile

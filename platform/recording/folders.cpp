// Recording backend: folders are the folders of the files the recorder holds, names are ordered
// by a portable rule with the file browser's outcome for names of letters and digits, and the
// watch is a record of the folder watched.
#include "platform/folders.hpp"

#include <algorithm>
#include <set>
#include <utility>

#include "platform/recording/recorder.hpp"

namespace platform::folders {

using recording::Rec;

namespace {

std::string Narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

char16_t Folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// A run of digits at `at`, without its leading zeros.
std::u16string_view DigitRun(std::u16string_view s, std::size_t& at) {
    std::size_t start = at;
    while (at < s.size() && IsDigit(s[at])) ++at;
    while (start + 1 < at && s[start] == u'0') ++start;
    return s.substr(start, at - start);
}

std::optional<std::vector<std::u16string>> ListNow(std::u16string_view folder) {
    if (std::ranges::find(Rec().unlistable, folder) != Rec().unlistable.end()) return std::nullopt;
    // A drive's root ends with its separator; the folder of a path in it does not.
    if (folder.ends_with(u'\\')) folder.remove_suffix(1);
    std::set<std::u16string> names;
    const auto take = [&](const std::u16string& path) {
        const std::size_t slash = path.rfind(u'\\');
        if (slash != std::u16string::npos && std::u16string_view(path).substr(0, slash) == folder)
            names.insert(path.substr(slash + 1));
    };
    for (const auto& [path, bytes] : Rec().files) take(path);
    for (const auto& [path, bitmap] : Rec().pictureFiles) take(path);
    std::vector<std::u16string> ordered(names.begin(), names.end());
    std::ranges::stable_sort(ordered, [](const std::u16string& a, const std::u16string& b) {
        return CompareNames(a, b) < 0;
    });
    return ordered;
}

}  // namespace

void PrepareListing(std::u16string_view folder) {
    Rec().Record("PrepareListing(" + Narrow(folder) + ")");
    Rec().preparedListing.reset();
    if (auto names = ListNow(folder)) Rec().preparedListing.emplace(folder, std::move(*names));
}

std::optional<std::vector<std::u16string>> ListInOrder(std::u16string_view folder) {
    if (!Rec().Record("ListInOrder(" + Narrow(folder) + ")")) return std::nullopt;
    if (auto prepared = std::exchange(Rec().preparedListing, std::nullopt);
        prepared && prepared->first == folder)
        return std::move(prepared->second);
    return ListNow(folder);
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return std::ranges::equal(a, b, {}, Folded, Folded);
}

int CompareNames(std::u16string_view a, std::u16string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::u16string_view x = DigitRun(a, i), y = DigitRun(b, j);
            if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
            if (const int c = x.compare(y)) return c < 0 ? -1 : 1;
            continue;
        }
        const char16_t x = Folded(a[i++]), y = Folded(b[j++]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    return j < b.size() ? -1 : 0;
}

std::optional<Stamp> StampOf(std::u16string_view path) {
    const std::u16string p(path);
    if (!Rec().files.contains(p) && !Rec().pictureFiles.contains(p)) return std::nullopt;
    const auto it = Rec().stamps.find(p);
    return it != Rec().stamps.end() ? it->second : Stamp{};
}

bool Watch(std::u16string_view folder) {
    if (!Rec().Record("Watch(" + Narrow(folder) + ")")) {
        Rec().watchedFolder.clear();
        return false;
    }
    Rec().watchedFolder = std::u16string(folder);
    return true;
}

bool Watching(std::u16string_view folder) {
    return !folder.empty() && SameName(Rec().watchedFolder, folder);
}

}  // namespace platform::folders

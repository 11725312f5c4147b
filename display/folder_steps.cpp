#include "display/folder_steps.hpp"

#include <algorithm>
#include <array>
#include <new>

#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "display/picture_holder.hpp"
#include "display/sizing.hpp"
#include "platform/folders.hpp"

namespace folder_steps {

using mainMod::shared;
namespace folders = platform::folders;

namespace {

// README, Pictures; a file that then does not load is skipped.
constexpr std::array<std::u16string_view, 20> kPictureExtensions = {
    u"jpg", u"jpeg", u"jpe",  u"jfif", u"png",  u"gif",  u"bmp", u"dib", u"tif", u"tiff",
    u"ico", u"cur",  u"webp", u"heic", u"heif", u"avif", u"jxl", u"dds", u"jxr", u"wdp"};

char16_t Folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

struct Parts {
    std::u16string folder, name;
};
// The folder of a path and the file's name. The folder has no last separator, but for a
// drive's root, which keeps it: "E:" alone is the current folder on E:, not its root.
std::optional<Parts> Split(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    if (slash == std::u16string_view::npos || slash + 1 == path.size()) return std::nullopt;
    const bool root = slash == 2 && path[1] == u':';
    return Parts{std::u16string(path.substr(0, root ? slash + 1 : slash)),
                 std::u16string(path.substr(slash + 1))};
}

std::u16string Joined(const std::u16string& folder, const std::u16string& name) {
    const bool ends = !folder.empty() && (folder.back() == u'\\' || folder.back() == u'/');
    return folder + (ends ? u"" : u"\\") + name;
}

// The folder's pictures: the listing kept while the folder's watch would have told of a
// change since it was made, else a new one, kept only when it is whole and the folder watched.
std::vector<std::u16string> Listed(const std::u16string& folder) {
    mainMod::FolderState& f = shared.folder;
    if (!f.listingFresh || !folders::SameName(f.listedFolder, folder) ||
        !folders::Watching(folder)) {
        auto names = folders::ListInOrder(folder);
        f.listedNames = names ? PicturesOf(std::move(*names)) : std::vector<std::u16string>{};
        f.listedFolder = folder;
        f.listingFresh = names && f.watching && folders::Watching(folder);
    }
    return f.listedNames;
}

// The listing's spelling of a name spelt in another case, so that it is found among the
// names; the name as it is when it is not there.
std::u16string AsListed(const std::vector<std::u16string>& names, const std::u16string& name) {
    const auto at = std::ranges::find_if(
        names, [&](const std::u16string& n) { return folders::SameName(n, name); });
    return at != names.end() ? *at : name;
}

// Shows the first picture of the tries that loads, through the picture pipeline. The picture
// shown itself among them (Home on the first) stays as it is.
bool ShowFirstLoading(const std::u16string& folder, const std::vector<std::u16string>& names,
                      const std::vector<std::size_t>& tries, std::u16string_view current,
                      std::set<std::u16string>* triedNames = nullptr) {
    for (std::size_t i : tries) {
        if (folders::SameName(names[i], current)) return true;
        if (triedNames) triedNames->insert(names[i]);
        std::u16string path = Joined(folder, names[i]);
        if (!picture_holder::LoadPicture(path)) continue;
        shared.PicturePath = std::move(path);
        frmMain::SizeToHeldPicture();
        frmMain::LayoutCompanions();
        Follow(true);
        return true;
    }
    return false;
}

}  // namespace

std::span<const std::u16string_view> PictureExtensions() {
    return kPictureExtensions;
}

bool IsPictureName(std::u16string_view name) {
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return false;
    const std::u16string_view ext = name.substr(dot + 1);
    return std::ranges::any_of(kPictureExtensions, [&](std::u16string_view known) {
        return std::ranges::equal(ext, known, {}, Folded);
    });
}

std::vector<std::u16string> PicturesOf(std::vector<std::u16string> names) {
    std::erase_if(names, [](const std::u16string& n) { return !IsPictureName(n); });
    return names;
}

std::vector<std::size_t> StepTries(const std::vector<std::u16string>& names,
                                   std::u16string_view current, platform::Step step) {
    const std::size_t n = names.size();
    // Where the current picture stands: its own place, or the first name after it.
    const auto at = std::ranges::find_if(
        names, [&](const std::u16string& name) { return folders::SameName(name, current); });
    const bool there = at != names.end();
    const std::size_t place =
        there ? static_cast<std::size_t>(at - names.begin())
              : static_cast<std::size_t>(std::ranges::find_if(names,
                                                              [&](const std::u16string& name) {
                                                                  return folders::CompareNames(
                                                                             name, current) > 0;
                                                              }) -
                                         names.begin());
    std::vector<std::size_t> tries;
    tries.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t i = 0;
        switch (step) {
            case platform::Step::Next:
                i = (place + k + (there ? 1 : 0)) % n;
                break;
            case platform::Step::Previous:
                i = (place + n - 1 - k) % n;
                break;
            case platform::Step::First:
                i = k;
                break;
            case platform::Step::Last:
                i = n - 1 - k;
                break;
        }
        // The first and the last may be the picture shown: it then stays.
        const bool ends = step == platform::Step::First || step == platform::Step::Last;
        if (ends || !(there && i == place)) tries.push_back(i);
    }
    return tries;
}

std::vector<std::size_t> ShuffledTries(const std::vector<std::u16string>& names,
                                       std::u16string_view current, std::set<std::u16string>& shown,
                                       std::mt19937& random) {
    shown.insert(std::u16string(current));
    std::vector<std::size_t> tries;
    for (int round = 0; round < 2 && tries.empty(); ++round) {
        if (round == 1) shown = {std::u16string(current)};  // all shown: a new round
        for (std::size_t i = 0; i < names.size(); ++i)
            if (!shown.contains(names[i])) tries.push_back(i);
    }
    std::ranges::shuffle(tries, random);
    return tries;
}

bool StepTo(platform::Step step) {
    try {
        const auto parts = Split(shared.PicturePath);
        if (!parts) return false;
        const std::vector<std::u16string> names = Listed(parts->folder);
        return ShowFirstLoading(parts->folder, names, StepTries(names, parts->name, step),
                                parts->name);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool StepShuffled() {
    static std::mt19937 random{std::random_device{}()};
    try {
        const auto parts = Split(shared.PicturePath);
        if (!parts) return false;
        mainMod::FolderState& f = shared.folder;
        if (!folders::SameName(f.shuffledFolder, parts->folder)) {
            f.shuffledFolder = parts->folder;
            f.shown.clear();
        }
        const std::vector<std::u16string> names = Listed(parts->folder);
        const std::u16string current = AsListed(names, parts->name);
        return ShowFirstLoading(parts->folder, names,
                                ShuffledTries(names, current, f.shown, random), current, &f.shown);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void Follow(bool loaded) {
    const auto parts = Split(shared.PicturePath);
    mainMod::FolderState& f = shared.folder;
    const std::u16string folder = parts ? parts->folder : std::u16string();
    const bool kept =
        f.watching && folders::SameName(f.watchedFolder, folder) && folders::Watching(folder);
    if (!kept) {
        // A watch begun anew: what changed before it was not heard, so no listing is fresh.
        f.watching = folders::Watch(folder) && parts;
        f.watchedFolder = folder;
        f.listingFresh = false;
        // Listed now, in the background, and taken at the first step.
        if (f.watching) folders::PrepareListing(folder);
    }
    if (loaded) f.loadedStamp = folders::StampOf(shared.PicturePath);
}

void FolderChanged() {
    mainMod::FolderState& f = shared.folder;
    f.listingFresh = false;
    // Asked again: a listing under way when the change came runs once more.
    if (f.watching && folders::Watching(f.watchedFolder)) folders::PrepareListing(f.watchedFolder);
    // A file gone keeps its picture; one that has not changed, or not yet loads (an editor
    // still writing it), waits for the next change.
    const auto now = folders::StampOf(shared.PicturePath);
    if (!now || now == f.loadedStamp) return;
    const std::int16_t preset = shared.SizeMode;
    // Read once, at the size chosen, and painted where the frame stands.
    const bool chosen = preset != sizing::kDefault;
    if (!picture_holder::LoadPicture(shared.PicturePath,
                                     chosen ? std::optional<std::int16_t>(preset) : std::nullopt))
        return;
    f.loadedStamp = now;
    frmMain::ShowHeldInPlace(preset);
}

}  // namespace folder_steps

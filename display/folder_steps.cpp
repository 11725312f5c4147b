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

// The extensions of the formats the frame reads (README, Pictures); a file that then does not
// load is skipped.
constexpr std::array<std::u16string_view, 20> kPictureExtensions = {
    u"jpg", u"jpeg", u"jpe",  u"jfif", u"png",  u"gif",  u"bmp", u"dib", u"tif", u"tiff",
    u"ico", u"cur",  u"webp", u"heic", u"heif", u"avif", u"jxl", u"dds", u"jxr", u"wdp"};

char16_t Folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

struct Parts {
    std::u16string folder, name;
};
// The folder of a path (without its last separator) and the file's name.
std::optional<Parts> Split(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    if (slash == std::u16string_view::npos || slash + 1 == path.size()) return std::nullopt;
    return Parts{std::u16string(path.substr(0, slash)), std::u16string(path.substr(slash + 1))};
}

// The folder's pictures, listed again when the folder is another, when it changed, or when it
// is not watched (so that no change would be heard).
std::vector<std::u16string> Listed(const std::u16string& folder) {
    mainMod::FolderState& f = shared.folder;
    if (!f.listingFresh || f.listedFolder != folder) {
        auto names = folders::ListInOrder(folder);
        f.listedNames = names ? PicturesOf(std::move(*names)) : std::vector<std::u16string>{};
        f.listedFolder = folder;
        f.listingFresh = names && f.watching;
        f.preparedFolder.clear();  // taken, or let go
    }
    return f.listedNames;
}

// Shows the first picture of the tries that loads, through the picture pipeline.
bool ShowFirstLoading(const std::u16string& folder, const std::vector<std::u16string>& names,
                      const std::vector<std::size_t>& tries,
                      std::set<std::u16string>* triedNames = nullptr) {
    for (std::size_t i : tries) {
        if (triedNames) triedNames->insert(names[i]);
        std::u16string path = folder + u"\\" + names[i];
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
    const auto at = std::ranges::find(names, current);
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
        if (!(there && i == place)) tries.push_back(i);
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
        return ShowFirstLoading(parts->folder, names, StepTries(names, parts->name, step));
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
        if (f.shuffledFolder != parts->folder) {
            f.shuffledFolder = parts->folder;
            f.shown.clear();
        }
        const std::vector<std::u16string> names = Listed(parts->folder);
        return ShowFirstLoading(parts->folder, names,
                                ShuffledTries(names, parts->name, f.shown, random), &f.shown);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void Follow(bool loaded) {
    const auto parts = Split(shared.PicturePath);
    mainMod::FolderState& f = shared.folder;
    f.watching = folders::Watch(parts ? parts->folder : std::u16string());
    const bool listed = parts && f.listingFresh && f.listedFolder == parts->folder;
    if (parts && f.watching && !listed && f.preparedFolder != parts->folder) {
        // Listed now, in the background, and taken at the first step.
        folders::PrepareListing(parts->folder);
        f.preparedFolder = parts->folder;
    }
    if (loaded) f.loadedStamp = folders::StampOf(shared.PicturePath);
}

void FolderChanged() {
    mainMod::FolderState& f = shared.folder;
    f.listingFresh = false;
    if (f.watching && !f.listedFolder.empty()) {
        folders::PrepareListing(f.listedFolder);
        f.preparedFolder = f.listedFolder;
    }
    // A file gone keeps its picture; one that has not changed, or not yet loads (an editor
    // still writing it), waits for the next change.
    const auto now = folders::StampOf(shared.PicturePath);
    if (!now || now == f.loadedStamp) return;
    const std::int16_t preset = shared.SizeMode;
    if (!picture_holder::LoadPicture(shared.PicturePath)) return;
    f.loadedStamp = now;
    if (preset == sizing::kDefault) {
        frmMain::SizeToHeldPicture();
        frmMain::LayoutCompanions();
    } else {
        frmMain::mnuSize_Click(preset);
    }
}

}  // namespace folder_steps

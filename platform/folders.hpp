// The folder of the picture shown: its files listed, names put in the order the system's file
// browser shows them, a file's stamp, and a watch on the folder that raises FolderChanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::folders {

// Asks for a listing of `folder` for ListInOrder, made in the background where the system can:
// a folder of ten thousand files takes a few hundred milliseconds to list and order. One
// listing runs at a time: asked again while one runs (the folder changed meanwhile), it runs
// once more when it ends. Asking for another folder lets the last one's go.
void PrepareListing(std::u16string_view folder);
// The names of the files in `folder` (no subfolders) in CompareNames' order: the listing last
// asked for, waited for when it is not done yet, or else a new one. Empty when the folder
// cannot be listed whole (a listing cut short by an error is no listing).
std::optional<std::vector<std::u16string>> ListInOrder(std::u16string_view folder);

// Whether two file names (or paths) name the same file as the system matches them: case
// ignored, as CompareStringOrdinal with ignore case does.
bool SameName(std::u16string_view a, std::u16string_view b);

// Less than, equal to or greater than zero as `a` stands before, with or after `b` in the
// file browser's order: runs of digits compared as numbers (a2 before a10), case ignored.
int CompareNames(std::u16string_view a, std::u16string_view b);

// When a file was last written and how long it is: a rewrite or a rename over it changes it.
struct Stamp {
    std::uint64_t written = 0, size = 0;
    friend constexpr bool operator==(const Stamp&, const Stamp&) = default;
};
// Empty when the file is not there.
std::optional<Stamp> StampOf(std::u16string_view path);

// Watches one folder for files added, removed, renamed or written; each change raises the
// FolderChanged event once the program is idle. Watching another folder ends the watch on the
// last; an empty path ends it. False when the folder cannot be watched.
bool Watch(std::u16string_view folder);
// Whether `folder` is watched now: false once its watch dropped (the folder went away, its
// volume is being removed), so that no change to it would be heard.
bool Watching(std::u16string_view folder);

}  // namespace platform::folders

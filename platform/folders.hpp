// The folder of the picture shown: its files listed, names put in the order the system's file
// browser shows them, a file's stamp, and a watch on the folder that raises FolderChanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::folders {

// Starts listing `folder` for ListInOrder, in the background where the system can: a folder of
// ten thousand files takes a few hundred milliseconds to list and order. A listing started
// before for another folder, or before the folder changed, is let go.
void PrepareListing(std::u16string_view folder);
// The names of the files in `folder` (no subfolders) in CompareNames' order: the listing
// prepared for it, waited for when it is not done yet, or else a new one. Empty when the folder
// cannot be listed.
std::optional<std::vector<std::u16string>> ListInOrder(std::u16string_view folder);

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

}  // namespace platform::folders

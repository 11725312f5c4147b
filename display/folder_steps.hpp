// The shown picture's folder: its pictures in the order the system's file browser shows them,
// the steps through them (next, previous, first, last, shuffled), and the shown file followed
// on disk. The folder is listed once and listed again after it changed.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/events.hpp"

namespace folder_steps {

// The extensions, in lower case, of the picture formats the frame reads.
std::span<const std::u16string_view> PictureExtensions();

// Whether a file name carries the extension of a picture format the frame reads.
bool IsPictureName(std::u16string_view name);

// The pictures among a folder's file names, in the order given.
std::vector<std::u16string> PicturesOf(std::vector<std::u16string> names);

// The positions of `names` (in order) to try in turn for a step from the picture `current`:
// every other picture once, the nearest first, wrapping around the ends. A current picture
// that is not among them (gone, or another folder's) stands where its name would sort.
std::vector<std::size_t> StepTries(const std::vector<std::u16string>& names,
                                   std::u16string_view current, platform::Step step);

// The positions to try for a shuffled step: the pictures not yet in `shown`, in random order.
// The current picture counts as shown; once every picture has been shown, a new round starts
// with only the current one shown. Each picture tried is then to be added to `shown`.
std::vector<std::size_t> ShuffledTries(const std::vector<std::u16string>& names,
                                       std::u16string_view current, std::set<std::u16string>& shown,
                                       std::mt19937& random);

// Shows the first picture of `tries` that loads, through the picture pipeline; false, the
// frame as it was, when none does (or the folder cannot be listed).
bool StepTo(platform::Step step);
bool StepShuffled();

// After a load of the shown picture: its folder is watched (and listed in the background when
// it is not listed yet), and when `loaded`, the file's stamp is remembered so that a new
// content can be told from the one shown.
void Follow(bool loaded);

// The watched folder changed: it is listed again in the background, and the shown file, when
// it has a new content that loads, is shown again at the size chosen.
void FolderChanged();

}  // namespace folder_steps

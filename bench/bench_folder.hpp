// The folder's steps and the file followed, timed: a step through a folder of ten thousand
// pictures, a step right after five hundred were copied in, and the reload of the shown file
// rewritten at the large size.
#pragma once

#include <filesystem>

namespace bench {

// Prints the table; `pictures` holds the benchmark's pictures (tiny.png, baseline.jpg). The
// folder is made under it once. The frame's windows must exist.
int FolderTable(const std::filesystem::path& pictures, int runs);

}  // namespace bench

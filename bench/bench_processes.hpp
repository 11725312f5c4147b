// What the benchmark measures in other processes: the memory of one load in a fresh process
// of its own (so that each picture starts from the same empty frame and the peak counter holds
// only that load), Vistrelle.exe's start-up against an empty window, and its idle CPU time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// Memory of this process, bytes: private bytes (PrivateUsage) and their peak
// (PeakPagefileUsage) on Windows. Wine reports neither (PrivateUsage 0, PagefileUsage stays put
// over a 300 MB decode) but fills the working set and its peak from the Linux process's resident
// set (VmRSS) and high-water mark (VmHWM): those are used there. A peak cannot be reset, so a
// load's peak is measured in a fresh process.
struct Memory {
    double current = 0;
    double peak = 0;
    bool residentSet = false;  // the figures are the working set (Wine), not private bytes
};
Memory MemoryNow();

// The output of this program run again with `arguments`, or empty when it fails.
std::optional<std::string> RunSelf(const std::wstring& arguments);

// Start-up times in milliseconds: from CreateProcess until the program's window of `windowClass`
// is visible and the program is idle (its first paint done); `runs` times.
std::vector<double> StartUpTimes(const std::filesystem::path& exe, const std::wstring& arguments,
                                 const wchar_t* windowClass, int runs);

// CPU time (user + kernel) Vistrelle.exe uses over `seconds` once its frame is up, ms.
std::optional<double> IdleCpu(const std::filesystem::path& exe, double seconds);

// The empty window the start-up is compared with: shows it and runs until closed.
int RunEmptyWindow();
inline constexpr const wchar_t* kEmptyWindowClass = L"VistrelleBenchEmpty";

}  // namespace bench

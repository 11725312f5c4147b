#include "bench_folder.hpp"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "bench_timing.hpp"
#include "display/folder_steps.hpp"
#include "platform/win32/folder_watch.hpp"

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 10000, kCopied = 500;

std::u16string U16(const fs::path& p) {
    const std::wstring w = p.wstring();
    return {w.begin(), w.end()};
}

std::wstring Numbered(const wchar_t* prefix, int n) {
    wchar_t name[32] = {};
    std::swprintf(name, 32, L"%ls%05d.png", prefix, n);
    return name;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The watch's signals handled as the message loop hands them to the program (or, without
// `handle`, only heard); the time the last was handled, when one was.
int HandleChanges(DWORD waitMs, Clock::time_point& last, bool handle = true) {
    int count = 0;
    for (;;) {
        HANDLE h = platform::win32::FolderWatchHandle();
        if (!h || ::WaitForSingleObject(h, waitMs) != WAIT_OBJECT_0) return count;
        ::FindNextChangeNotification(h);
        if (handle) frmMain::Form_FolderChanged();
        last = Clock::now();
        ++count;
    }
}

}  // namespace

int FolderTable(const fs::path& pictures, int runs) {
    const fs::path folder = pictures / L"folder";
    fs::create_directories(folder);
    std::error_code ec;
    for (int i = 1; i <= kFiles; ++i)
        if (!fs::exists(folder / Numbered(L"f", i)))
            fs::copy_file(pictures / L"tiny.png", folder / Numbered(L"f", i), ec);
    for (int i = 1; i <= kCopied; ++i) fs::remove(folder / Numbered(L"g", i), ec);

    // The shown file rewritten at the large size: the reload the frame makes by itself.
    std::printf(
        "\n| the folder's steps and the file followed | median ms | runs |\n"
        "|---|---:|---:|\n");
    const fs::path shown = pictures / L"followed.jpg";
    fs::copy_file(pictures / L"baseline.jpg", shown, fs::copy_options::overwrite_existing, ec);
    mainMod::shared.PicturePath = U16(shown);
    frmMain::LoadAndSizePicture();
    frmMain::LayoutCompanions();
    frmMain::mnuSize_Click(2);
    std::vector<double> reloads;
    for (int i = 0; i < runs; ++i) {
        // Written over as an editor saves, with a new write time (a copy keeps the source's).
        std::ifstream in(i % 2 ? pictures / L"baseline.jpg" : pictures / L"entropy.jpg",
                         std::ios::binary);
        std::ofstream(shown, std::ios::binary | std::ios::trunc) << in.rdbuf();
        Clock::time_point t;
        HandleChanges(2000, t, false);  // heard; the reload is what is timed
        reloads.push_back(Time([] { frmMain::Form_FolderChanged(); }));
    }
    std::printf(
        "| the shown 6000x4000 JPEG rewritten at the large size, reload to painted "
        "(median of baseline and high-entropy content) | %.0f | %d |\n",
        Median(reloads), runs);
    std::printf("| folder of %d pictures | | |\n", kFiles);
    mainMod::shared.PicturePath = U16(folder / Numbered(L"f", 1));
    frmMain::LoadAndSizePicture();
    frmMain::LayoutCompanions();
    const double first = Time([] { frmMain::Form_StepKey(platform::Step::Next); });
    std::printf("| first step, the listing made in the background since the load | %.0f | 1 |\n",
                first);
    std::vector<double> kept;
    for (int i = 0; i < runs; ++i)
        kept.push_back(Time([] { frmMain::Form_StepKey(platform::Step::Next); }));
    std::printf("| step, the listing kept | %.1f | %d |\n", Median(kept), runs);

    // Five hundred copied in by another program while the frame hears of them; the user steps
    // to the last picture as soon as the copy ends.
    std::atomic<bool> copied = false;
    std::thread copier([&] {
        for (int i = 1; i <= kCopied; ++i) {
            std::error_code e;
            fs::copy_file(pictures / L"tiny.png", folder / Numbered(L"g", i), e);
        }
        copied = true;
    });
    Clock::time_point last = Clock::now();
    int handled = 0;
    while (!copied) handled += HandleChanges(50, last);
    copier.join();
    HandleChanges(0, last);
    frmMain::Form_StepKey(platform::Step::Last);
    const double afterCopy = Ms(Clock::now() - last);
    const bool newest = mainMod::shared.PicturePath == U16(folder / Numbered(L"g", kCopied));
    std::printf(
        "| End right after %d were copied in, from the last notification handled to "
        "painted%s | %.0f | 1 |\n",
        kCopied, newest ? "" : " (NOT the last copied)", afterCopy);
    std::printf("| (notifications handled during the copy: %d) | | |\n", handled);

    std::fflush(stdout);
    return 0;
}

}  // namespace bench

// vistrelle_soak: the picture window with the real Win32 backend, put through the same round of
// work many times in one process, to show that nothing it does keeps objects or memory.
//
//   vistrelle_soak [ROUNDS [WARMUP [verbose]]]    defaults 1000 and 20; verbose names each step
//
// One round: load a picture (the files cycle through a portrait, a landscape, a tiny and a
// broken one) and lay the windows out; change the size, the opacity and the shadow; toggle the
// caption; move the frame to a monitor of twice the scale and back (WM_DPICHANGED, as Windows
// sends it); press the left button on the picture, with its release already queued, so that the
// system's move loop ends at once as after a click; pump the queued messages. After WARMUP rounds
// the counters are read, then again after ROUNDS more:
//   - GDI objects and DCs alive through the backend's owners (LiveGdiObjects) end where they
//     started;
//   - the system's GDI and USER object counts (GetGuiResources; 0 under Wine, where it is a
//     stub) end where they started;
//   - private bytes (GetProcessMemoryInfo; under Wine its PagefileUsage) grow by less than 1 MiB;
//   - no press on the picture takes 5 s or more (a move loop that missed the release).
//
// Prints the figures; exit code 0 when all hold, 1 otherwise.
#include <windows.h>
// After <windows.h>, whose types they use.
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "caption/draw_caption.hpp"
#include "platform/events.hpp"
#include "platform/win32/scoped.hpp"
#include "tests/common/picture_bytes.hpp"

namespace {

// What the message loop raises goes to the handlers, as in the program.
class SoakEvents final : public platform::Events {
  public:
    void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override {
        frmMain::Form_MouseDown(button, shift, x, y);
    }
    void MenuKey(platform::ScreenPoint) override {}
    void DblClick() override {}
    void DragOver(platform::DropData& data, platform::DropEffect& effect) override {
        frmMain::Form_OLEDragOver(data, effect);
    }
    void DragDrop(platform::DropData& data) override { frmMain::Form_OLEDragDrop(data); }
    void MenuClick(resources::MenuItem) override {}
    void SystemClose() override {}
    void Picture1Paint() override { mainMod::DrawCaption(); }
    void DpiChanged() override { frmMain::Form_DpiChanged(); }
    void DisplayChanged() override { frmMain::Form_DisplayChanged(); }
    void StepKey(platform::Step) override {}
    void Timer() override {}
    void FolderChanged() override {}
    void SessionEnd() override {}
};

void Pump() {
    MSG msg{};
    for (int i = 0; i < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A 24-bit BMP of the given size: a gradient, so that the scaler has something to average.
std::string Bmp(int width, int height) {
    return picture_bytes::AsString(picture_bytes::Bmp24(width, height, [&](int x, int y) {
        const std::uint32_t blue = static_cast<std::uint32_t>(x * 255 / std::max(1, width - 1));
        const std::uint32_t green = static_cast<std::uint32_t>(y * 255 / std::max(1, height - 1));
        const std::uint32_t red = static_cast<std::uint32_t>((x + y) & 0xFF);
        return red << 16 | green << 8 | blue;
    }));
}

bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    platform::win32::ScopedHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return false;
    DWORD written = 0;
    return bytes.empty() || (::WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                         &written, nullptr) &&
                             written == bytes.size());
}

struct Counters {
    int liveGdi = 0;
    DWORD gdi = 0, user = 0;
    std::uint64_t privateBytes = 0;
    std::uint64_t workingSet = 0, peakWorkingSet = 0;
};

Counters Read() {
    Counters c;
    c.liveGdi = platform::win32::LiveGdiObjects();
    c.gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    c.user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
        // Wine leaves PrivateUsage at 0 and reports the process's private data in
        // PagefileUsage, the commit charge, which Windows reports there as well.
        c.privateBytes = pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
        c.workingSet = pmc.WorkingSetSize;
        c.peakWorkingSet = pmc.PeakWorkingSetSize;
    }
    return c;
}

void Print(const char* when, const Counters& c) {
    std::printf(
        "%s: live GDI objects %d, GetGuiResources GDI %lu USER %lu, private bytes %llu, "
        "working set %llu, peak working set %llu\n",
        when, c.liveGdi, static_cast<unsigned long>(c.gdi), static_cast<unsigned long>(c.user),
        static_cast<unsigned long long>(c.privateBytes),
        static_cast<unsigned long long>(c.workingSet),
        static_cast<unsigned long long>(c.peakWorkingSet));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const long rounds = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 1000;
    const long warmup = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 20;
    const bool verbose = argc > 3 && std::wstring(argv[3]) == L"verbose";
    constexpr std::uint64_t kMaxGrowth = 1u << 20;
    constexpr DWORD kPressBoundMs = 5000;

    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const HRESULT ole = ::OleInitialize(nullptr);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder =
        std::filesystem::path(temp) /
        (L"vistrelle-soak-" + std::to_wstring(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::vector<std::filesystem::path> pictures = {
        folder / L"portrait.bmp", folder / L"landscape.bmp", folder / L"tiny.bmp",
        folder / L"broken.jpg"};
    std::string broken = Bmp(40, 30);
    broken.resize(broken.size() / 2);
    broken[0] = '\xFF';
    broken[1] = '\xD8';
    if (!WriteFileBytes(pictures[0], Bmp(600, 900)) ||
        !WriteFileBytes(pictures[1], Bmp(780, 520)) || !WriteFileBytes(pictures[2], Bmp(1, 1)) ||
        !WriteFileBytes(pictures[3], broken)) {
        std::printf("FAIL: cannot write the test pictures into %ls\n", folder.c_str());
        return 1;
    }

    static SoakEvents events;
    platform::SetEvents(&events);
    forms::Touch(platform::Form::Main);
    forms::Show(platform::Form::Main);
    Pump();
    std::printf("left button down at the start: %s\n",
                (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) ? "yes" : "no");

    HWND main = nullptr;
    for (HWND h = ::FindWindowW(L"VistrelleMain", nullptr); h;
         h = ::FindWindowExW(nullptr, h, L"VistrelleMain", nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(h, &pid);
        if (pid == ::GetCurrentProcessId()) main = h;
    }
    if (!main) {
        std::printf("FAIL: expected a VistrelleMain window of this process, found none\n");
        return 1;
    }
    // The scale the program started at; Wine never moves a window to another, so the soak
    // sends what Windows would.
    HDC screen = ::GetDC(nullptr);
    const UINT systemDpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    DWORD slowestPress = 0;
    auto step = [&](const char* what) {
        if (verbose) {
            std::printf("  %s\n", what);
            std::fflush(stdout);
        }
    };
    auto round = [&](long i) {
        step("load");
        mainMod::shared.PicturePath =
            pictures[static_cast<std::size_t>(i) % pictures.size()].u16string();
        frmMain::LoadAndSizePicture();
        step("layout");
        frmMain::LayoutCompanions();
        step("size, opacity, shadow, caption");
        frmMain::mnuSize_Click(static_cast<std::int16_t>(i % 3));
        frmMain::mnuTrs_Click(static_cast<std::int16_t>((i + 1) % 3));
        frmMain::mnuShadow_Click(static_cast<std::int16_t>(i % 4));
        frmMain::mnuOP_Click(5);
        Pump();
        step("a move to a monitor of twice the scale and back");
        for (const UINT dpi : {2 * systemDpi, systemDpi}) {
            RECT at{};
            ::GetWindowRect(main, &at);
            ::SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                           reinterpret_cast<LPARAM>(&at));
        }
        Pump();
        step("press");
        ::PostMessageW(main, WM_LBUTTONUP, 0, 0);
        const DWORD t0 = ::GetTickCount();
        frmMain::Form_MouseDown(1, 0, 0, 0);
        slowestPress = std::max(slowestPress, ::GetTickCount() - t0);
        Pump();
    };

    const Counters first = Read();
    Print("at the start", first);
    for (long i = 0; i < warmup; ++i) round(i);
    // An even number of caption toggles: the caption is in the same state at both readings.
    if (warmup % 2) round(warmup);
    const Counters before = Read();
    Print("after the warm-up", before);
    const DWORD t0 = ::GetTickCount();
    const long total = rounds + (rounds % 2);
    for (long i = 0; i < total; ++i) round(i);
    const DWORD elapsed = ::GetTickCount() - t0;
    const Counters after = Read();
    Print("after the soak", after);
    std::printf("%ld rounds in %lu ms; slowest press on the picture %lu ms\n", total,
                static_cast<unsigned long>(elapsed), static_cast<unsigned long>(slowestPress));

    bool ok = true;
    if (after.liveGdi != before.liveGdi) {
        std::printf(
            "FAIL: expected %d live GDI objects after the soak, as after the warm-up, "
            "got %d\n",
            before.liveGdi, after.liveGdi);
        ok = false;
    }
    if (after.gdi != before.gdi || after.user != before.user) {
        std::printf(
            "FAIL: expected GetGuiResources GDI %lu USER %lu after the soak, got GDI "
            "%lu USER %lu\n",
            static_cast<unsigned long>(before.gdi), static_cast<unsigned long>(before.user),
            static_cast<unsigned long>(after.gdi), static_cast<unsigned long>(after.user));
        ok = false;
    }
    if (before.privateBytes == 0) {
        std::printf("FAIL: expected a figure of private bytes, the system reports none\n");
        ok = false;
    } else if (after.privateBytes > before.privateBytes + kMaxGrowth) {
        std::printf(
            "FAIL: expected private bytes to grow by less than %llu over the soak, they "
            "grew by %llu\n",
            static_cast<unsigned long long>(kMaxGrowth),
            static_cast<unsigned long long>(after.privateBytes - before.privateBytes));
        ok = false;
    }
    if (slowestPress >= kPressBoundMs) {
        std::printf(
            "FAIL: expected a press with its release queued to return within %lu ms, the "
            "slowest took %lu ms\n",
            static_cast<unsigned long>(kPressBoundMs), static_cast<unsigned long>(slowestPress));
        ok = false;
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (SUCCEEDED(ole)) ::OleUninitialize();
    std::printf(ok ? "PASS\n" : "FAIL\n");
    return ok ? 0 : 1;
}

// vistrelle_probe: a small Windows console program that the end-to-end tests run beside the
// program under test, in the same Wine session, to look at its windows from the window
// system's side and to send them messages as the system would.
//
//   vistrelle_probe version             prints "vistrelle_probe 1"
//   vistrelle_probe list                one line per top-level window, tab-separated:
//                                       hwnd pid visible style exstyle left top right bottom
//                                       class title image   (numbers in hex where noted below)
//   vistrelle_probe post HWND MSG [WPARAM [LPARAM]]   PostMessageW, numbers in hex or decimal
//   vistrelle_probe move HWND X Y      moves a window (SetWindowPos), without activating it
//   vistrelle_probe foreground         prints the foreground window's hwnd (hex), 0 for none
//   vistrelle_probe wallpaper PATH     sets the desktop wallpaper as a settings page does, and
//                                      announces it (SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)
//   vistrelle_probe serve              reads list and post commands a line each from standard
//                                       input and answers each, then a line "end CODE"
//   vistrelle_probe target LEFT TOP WIDTH HEIGHT RRGGBB SECONDS
//                                       a plain window of one colour at that screen rectangle,
//                                       below every other window and never activated, standing
//                                       for whatever lies under the program's windows; prints
//                                       "ready HWND", then "down BUTTON X Y" (screen pixels) for
//                                       every button press it receives, and ends on WM_CLOSE or
//                                       after SECONDS
//   vistrelle_probe (desktop|front) LEFT TOP WIDTH HEIGHT RRGGBB SECONDS
//                                       the same, raised and made the foreground window (Wine
//                                       raises no foreground event: these raise it), as the
//                                       shell's desktop on Show desktop (a Progman window
//                                       holding a SHELLDLL_DefView) or an ordinary window
//
// Texts are printed as UTF-8; tabs and line breaks inside them are replaced by blanks.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text, int length) {
    if (length <= 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

std::string ProcessImage(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return "-";
    wchar_t path[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    std::string image = "-";
    if (QueryFullProcessImageNameW(process, 0, path, &size)) {
        image = Utf8(path, static_cast<int>(size));
    }
    CloseHandle(process);
    return image;
}

BOOL CALLBACK PrintWindow(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT r{};
    GetWindowRect(hwnd, &r);
    wchar_t cls[256];
    const int clsLength = GetClassNameW(hwnd, cls, 256);
    wchar_t title[512];
    const int titleLength = GetWindowTextW(hwnd, title, 512);
    std::printf("%llx\t%lu\t%d\t%lx\t%lx\t%ld\t%ld\t%ld\t%ld\t%s\t%s\t%s\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), pid,
                IsWindowVisible(hwnd) ? 1 : 0,
                static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_EXSTYLE)), r.left, r.top,
                r.right, r.bottom, Utf8(cls, clsLength).c_str(), Utf8(title, titleLength).c_str(),
                ProcessImage(pid).c_str());
    return TRUE;
}

unsigned long long Number(const wchar_t* text) {
    return std::wcstoull(text, nullptr, 0);
}

// --- target --------------------------------------------------------------------------------

void ReportPress(HWND hwnd, const char* button, LPARAM lParam) {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(hwnd, &p);
    std::printf("down %s %ld %ld\n", button, p.x, p.y);
    std::fflush(stdout);
}

// What a window of `target`, `desktop` or `front` stands for.
enum class Stands { Beneath, Desktop, Front };
Stands g_stands = Stands::Beneath;

// Raises the foreground event once Wine has settled the activation: it raises the window again
// as the X server reports the focus, which would otherwise come after the event's answer.
constexpr UINT_PTR kAnnounceTimer = 2;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            // A press must not bring the target above the windows under test.
            if (g_stands == Stands::Beneath) return MA_NOACTIVATE;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_LBUTTONDOWN:
            ReportPress(hwnd, "left", lParam);
            return 0;
        case WM_RBUTTONDOWN:
            ReportPress(hwnd, "right", lParam);
            return 0;
        case WM_MBUTTONDOWN:
            ReportPress(hwnd, "middle", lParam);
            return 0;
        case WM_TIMER:
            if (wParam == kAnnounceTimer) {
                KillTimer(hwnd, kAnnounceTimer);
                NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, hwnd, OBJID_WINDOW, CHILDID_SELF);
                return 0;
            }
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

int Target(int left, int top, int width, int height, COLORREF colour, UINT seconds) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(colour);
    // The shell's desktop is found by its class and the view it holds.
    wc.lpszClassName = g_stands == Stands::Desktop ? L"Progman" : L"VistrelleProbeTarget";
    if (!RegisterClassW(&wc)) {
        std::printf("RegisterClassW failed: error %lu\n", GetLastError());
        return 1;
    }
    const bool beneath = g_stands == Stands::Beneath;
    HWND hwnd = CreateWindowExW(beneath ? WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW : 0, wc.lpszClassName,
                                L"vistrelle_probe target", WS_POPUP, left, top, width, height,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        std::printf("CreateWindowExW failed: error %lu\n", GetLastError());
        return 1;
    }
    if (g_stands == Stands::Desktop) {
        // The view of the desktop's icons, empty and unseen here.
        WNDCLASSW view{};
        view.lpfnWndProc = DefWindowProcW;
        view.hInstance = instance;
        view.lpszClassName = L"SHELLDLL_DefView";
        RegisterClassW(&view);
        CreateWindowExW(0, view.lpszClassName, L"", WS_CHILD, 0, 0, 1, 1, hwnd, nullptr, instance,
                        nullptr);
    }
    if (beneath) {
        SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(hwnd);
        SetTimer(hwnd, kAnnounceTimer, 300, nullptr);
    }
    UpdateWindow(hwnd);
    SetTimer(hwnd, 1, seconds * 1000, nullptr);
    std::printf("ready %llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteObject(wc.hbrBackground);
    return 0;
}

// One command of the command line or of a line that `serve` reads; its exit code.
int Run(const std::vector<std::wstring>& args) {
    const std::size_t argc = args.size();
    const std::wstring command = argc > 0 ? args[0] : L"";
    if (command == L"version") {
        std::printf("vistrelle_probe 1\n");
        return 0;
    }
    if (command == L"list") {
        EnumWindows(PrintWindow, 0);
        return 0;
    }
    if (command == L"move" && argc == 4) {
        HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(args[1].c_str())));
        const int x = static_cast<int>(std::wcstol(args[2].c_str(), nullptr, 0));
        const int y = static_cast<int>(std::wcstol(args[3].c_str(), nullptr, 0));
        if (!SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
            std::printf("SetWindowPos failed: error %lu\n", GetLastError());
            return 1;
        }
        std::printf("moved\n");
        return 0;
    }
    if (command == L"foreground") {
        std::printf("%llx\n", static_cast<unsigned long long>(
                                  reinterpret_cast<UINT_PTR>(GetForegroundWindow())));
        return 0;
    }
    if (command == L"wallpaper" && argc == 2) {
        std::wstring path = args[1];
        if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(),
                                   SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
            std::printf("SystemParametersInfoW failed: error %lu\n", GetLastError());
            return 1;
        }
        std::printf("wallpaper set\n");
        return 0;
    }
    if (command == L"post" && argc >= 3) {
        HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(args[1].c_str())));
        const UINT message = static_cast<UINT>(Number(args[2].c_str()));
        const WPARAM wParam = argc > 3 ? static_cast<WPARAM>(Number(args[3].c_str())) : 0;
        const LPARAM lParam = argc > 4 ? static_cast<LPARAM>(Number(args[4].c_str())) : 0;
        if (!PostMessageW(hwnd, message, wParam, lParam)) {
            std::printf("PostMessageW failed: error %lu\n", GetLastError());
            return 1;
        }
        std::printf("posted\n");
        return 0;
    }
    std::fprintf(stderr,
                 "usage: vistrelle_probe version | list | post HWND MSG [WPARAM [LPARAM]] |\n"
                 "       move HWND X Y | foreground | wallpaper PATH | serve |\n"
                 "       (target|desktop|front) LEFT TOP WIDTH HEIGHT RRGGBB SECONDS\n");
    return 2;
}

// Answers commands a line each from standard input, each closed by a line "end CODE", until
// the input ends: the tests keep one probe running instead of starting Wine for every look.
int Serve() {
    char line[1024];
    while (std::fgets(line, sizeof line, stdin)) {
        std::vector<std::wstring> args;
        std::wstring word;
        for (const char* c = line;; ++c) {
            if (*c == '\0' || std::isspace(static_cast<unsigned char>(*c))) {
                if (!word.empty()) args.push_back(word);
                word.clear();
                if (*c == '\0') break;
            } else {
                word += static_cast<wchar_t>(static_cast<unsigned char>(*c));
            }
        }
        const int code = args.empty() ? 0 : Run(args);
        std::printf("end %d\n", code);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (argc == 2 && args[0] == L"serve") return Serve();
    if (argc == 8 && (args[0] == L"target" || args[0] == L"desktop" || args[0] == L"front")) {
        g_stands = args[0] == L"desktop" ? Stands::Desktop
                   : args[0] == L"front" ? Stands::Front
                                         : Stands::Beneath;
        // RRGGBB as written in HTML; a COLORREF keeps red in its lowest byte.
        const unsigned long rgb = std::wcstoul(argv[6], nullptr, 16);
        const COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        return Target(static_cast<int>(Number(argv[2])), static_cast<int>(Number(argv[3])),
                      static_cast<int>(Number(argv[4])), static_cast<int>(Number(argv[5])), colour,
                      static_cast<UINT>(Number(argv[7])));
    }
    return Run(args);
}

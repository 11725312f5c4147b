// vistrelle_probe: a small Windows console program that the end-to-end tests run beside the
// program under test, in the same Wine session, to look at its windows from the window
// system's side and to send them messages as the system would.
//
//   vistrelle_probe version             prints "vistrelle_probe 1"
//   vistrelle_probe list                one line per top-level window, tab-separated:
//                                       hwnd pid visible style exstyle left top right bottom
//                                       class title image   (numbers in hex where noted below)
//   vistrelle_probe post HWND MSG [WPARAM [LPARAM]]   PostMessageW, numbers in hex or decimal
//
// Texts are printed as UTF-8; tabs and line breaks inside them are replaced by blanks.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"version") {
        std::printf("vistrelle_probe 1\n");
        return 0;
    }
    if (command == L"list") {
        EnumWindows(PrintWindow, 0);
        return 0;
    }
    if (command == L"post" && argc >= 4) {
        HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(argv[2])));
        const UINT message = static_cast<UINT>(Number(argv[3]));
        const WPARAM wParam = argc > 4 ? static_cast<WPARAM>(Number(argv[4])) : 0;
        const LPARAM lParam = argc > 5 ? static_cast<LPARAM>(Number(argv[5])) : 0;
        if (!PostMessageW(hwnd, message, wParam, lParam)) {
            std::printf("PostMessageW failed: error %lu\n", GetLastError());
            return 1;
        }
        std::printf("posted\n");
        return 0;
    }
    std::fprintf(stderr,
                 "usage: vistrelle_probe version | list | post HWND MSG [WPARAM [LPARAM]]\n");
    return 2;
}

#include "bench_processes.hpp"

#include <windows.h>
// After <windows.h>, whose types it uses.
#include <psapi.h>

#include <chrono>
#include <memory>
#include <thread>

#include "platform/win32/scoped.hpp"

namespace bench {

using platform::win32::ScopedHandle;

Memory MemoryNow() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    if (counters.PrivateUsage == 0)
        return Memory{static_cast<double>(counters.WorkingSetSize),
                      static_cast<double>(counters.PeakWorkingSetSize), true};
    return Memory{static_cast<double>(counters.PrivateUsage),
                  static_cast<double>(counters.PeakPagefileUsage), false};
}

namespace {

std::wstring SelfPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

struct Started {
    Started(HANDLE p, HANDLE t) : process(p), thread(t) {}
    ScopedHandle process, thread;
};

// Starts `exe` with its own folder as working folder; stdout to `out` when given.
std::unique_ptr<Started> Start(const std::filesystem::path& exe, const std::wstring& arguments,
                               HANDLE out = nullptr) {
    std::wstring command = L"\"" + exe.wstring() + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (out) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = out;
        si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION pi{};
    const std::wstring folder = exe.parent_path().wstring();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, out ? TRUE : FALSE, 0, nullptr,
                          folder.c_str(), &si, &pi))
        return nullptr;
    return std::make_unique<Started>(pi.hProcess, pi.hThread);
}

// Waits until a visible window of the class belongs to the process; false after `timeout`.
HWND WaitForWindow(const wchar_t* windowClass, DWORD processId, double timeoutSeconds) {
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (std::chrono::steady_clock::now() < until) {
        HWND found = nullptr;
        while ((found = ::FindWindowExW(nullptr, found, windowClass, nullptr)) != nullptr) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(found, &owner);
            if (owner == processId && ::IsWindowVisible(found)) return found;
        }
        ::Sleep(1);
    }
    return nullptr;
}

// Asks the process's window to close, then waits for the process; ends it if it stays.
void Stop(const Started& p, HWND window) {
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(p.process.Get(), 5000) != WAIT_OBJECT_0)
        ::TerminateProcess(p.process.Get(), 1);
    ::WaitForSingleObject(p.process.Get(), 5000);
}

}  // namespace

std::optional<std::string> RunSelf(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!::CreatePipe(&readRaw, &writeRaw, &inherit, 0)) return std::nullopt;
    ScopedHandle read(readRaw);
    // Our copy of the writing end is closed once the child has its own, so that reading ends
    // when the child ends.
    auto write = std::make_unique<ScopedHandle>(writeRaw);
    ::SetHandleInformation(read.Get(), HANDLE_FLAG_INHERIT, 0);
    auto child = Start(SelfPath(), arguments, write->Get());
    write.reset();
    if (!child) return std::nullopt;
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(read.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        out.append(buffer, got);
    ::WaitForSingleObject(child->process.Get(), INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(child->process.Get(), &code);
    if (code != 0) return std::nullopt;
    return out;
}

std::vector<double> StartUpTimes(const std::filesystem::path& exe, const std::wstring& arguments,
                                 const wchar_t* windowClass, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        auto p = Start(exe, arguments);
        if (!p) break;
        HWND window = WaitForWindow(windowClass, ::GetProcessId(p->process.Get()), 60);
        // Idle once the window's first paint is handled: the picture is on the screen.
        if (window) ::WaitForInputIdle(p->process.Get(), 10000);
        const auto end = std::chrono::steady_clock::now();
        if (window) times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        Stop(*p, window);
    }
    return times;
}

std::optional<double> IdleCpu(const std::filesystem::path& exe, double seconds) {
    auto p = Start(exe, L"");
    if (!p) return std::nullopt;
    HWND window = WaitForWindow(L"VistrelleMain", ::GetProcessId(p->process.Get()), 60);
    if (window) ::WaitForInputIdle(p->process.Get(), 10000);
    // Let whatever follows the first paint settle before the idle time starts.
    ::Sleep(1000);
    const auto cpu = [&]() {
        FILETIME created, exited, kernel, user;
        ::GetProcessTimes(p->process.Get(), &created, &exited, &kernel, &user);
        const auto ms = [](FILETIME t) {
            return static_cast<double>((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) /
                   1e4;
        };
        return ms(kernel) + ms(user);
    };
    const double before = cpu();
    ::Sleep(static_cast<DWORD>(seconds * 1000));
    const double after = cpu();
    Stop(*p, window);
    if (!window) return std::nullopt;
    return after - before;
}

namespace {

LRESULT CALLBACK EmptyProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, w, l);
}

}  // namespace

int RunEmptyWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = EmptyProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kEmptyWindowClass;
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0, kEmptyWindowClass, L"", WS_POPUP | WS_BORDER, 100, 100, 200,
                                    140, nullptr, nullptr, wc.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace bench

// open_recorder: a stand-in for the program the system opens pictures with. The end-to-end
// tests register it as the "open" command of .jpg files in the test session, double-click the
// picture frame, and read what it was started with.
//
// Each start appends one line to a UTF-8 file: the command line exactly as GetCommandLineW
// hands it over. The file is the one named by the environment variable VISTRELLE_OPEN_RECORD,
// or else open_recorder.txt beside the program itself. The program shows no window.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring RecordFile() {
    std::wstring buffer(32768, L'\0');
    DWORD length = GetEnvironmentVariableW(L"VISTRELLE_OPEN_RECORD", buffer.data(),
                                           static_cast<DWORD>(buffer.size()));
    if (length > 0 && length < buffer.size()) return buffer.substr(0, length);
    length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return L"open_recorder.txt";
    std::wstring path = buffer.substr(0, length);
    const std::size_t slash = path.find_last_of(L"\\/");
    return path.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + L"open_recorder.txt";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::string line = Utf8(GetCommandLineW()) + "\n";
    const std::wstring file = RecordFile();
    // Several starts may come at once: FILE_APPEND_DATA writes each line at the end in one go.
    HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(handle);
    return ok && written == line.size() ? 0 : 2;
}

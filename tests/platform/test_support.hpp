// Helpers of the Win32 backend tests: message pumping, temporary files, an event sink that
// records what the windows raise, and a fixture that creates the windows and takes them down.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/form_designs.hpp"
#include "platform/events.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/windows/frame_windows.hpp"
#include "platform/windows.hpp"

namespace vistrelle_test {

// Dispatches whatever is queued for this thread (a WM_QUIT included, which is dropped).
inline void Pump() {
    MSG msg{};
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A folder of its own under the temporary folder, removed with what it holds.
class TempDir {
  public:
    TempDir() {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        static int serial = 0;
        path_ = std::filesystem::path(base) /
                (L"vistrelle-platform-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++serial));
        std::filesystem::create_directories(path_);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path Write(const std::wstring& name, const std::string& bytes) const {
        // CreateFileW: the C++ streams of this runtime do not open every Unicode name.
        const std::filesystem::path file = path_ / name;
        HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE)
            << "cannot create the test file, error " << ::GetLastError();
        DWORD written = 0;
        if (!bytes.empty())
            ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(h);
        EXPECT_EQ(written, bytes.size()) << "test file written short";
        return file;
    }

  private:
    std::filesystem::path path_;
};

inline std::u16string U16Path(const std::filesystem::path& p) {
    return platform::win32::U16(p.wstring());
}

// Creates a window as the program does, from its design.
inline bool Create(platform::Form f) {
    return platform::windows::Create(f, form_designs::Of(f));
}

// Records every event as a line of text.
class RecordingEvents : public platform::Events {
  public:
    std::vector<std::string> lines;
    platform::DropEffect dragAnswer = platform::DropEffect::Copy;
    std::vector<std::u16string> droppedFiles;
    std::optional<bool> offeredFileList;

    void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override {
        lines.push_back("MouseDown(" + std::to_string(button) + "," + std::to_string(shift) + "," +
                        std::to_string(static_cast<int>(x)) + "," +
                        std::to_string(static_cast<int>(y)) + ")");
    }
    void MenuKey(platform::ScreenPoint at) override {
        lines.push_back("MenuKey(" + std::to_string(at.x) + "," + std::to_string(at.y) + ")");
    }
    void DblClick() override { lines.push_back("DblClick"); }
    void DragOver(platform::DropData& data, platform::DropEffect& effect) override {
        offeredFileList = data.OffersFiles();
        lines.push_back("DragOver(" + std::to_string(static_cast<int>(effect)) + ")");
        effect = dragAnswer;
    }
    void DragDrop(platform::DropData& data) override {
        lines.push_back("DragDrop");
        if (auto files = data.Files()) droppedFiles = *files;
    }
    void MenuClick(resources::MenuItem item) override {
        lines.push_back("MenuClick(" + std::to_string(static_cast<int>(item.array)) + "," +
                        std::to_string(item.index) + ")");
    }
    void SystemClose() override { lines.push_back("SystemClose"); }
    void Picture1Paint() override { lines.push_back("Picture1Paint"); }
    void DpiChanged() override { lines.push_back("DpiChanged"); }
    void DisplayChanged() override { lines.push_back("DisplayChanged"); }
    void StepKey(platform::Step step) override {
        lines.push_back("StepKey(" + std::to_string(static_cast<int>(step)) + ")");
    }
    void Timer() override { lines.push_back("Timer"); }
    void FolderChanged() override { lines.push_back("FolderChanged"); }
    void SessionEnd() override { lines.push_back("SessionEnd"); }
};

// Creates the three windows (hidden) and destroys them afterwards; no event sink unless a test
// sets one.
class WindowsTest : public testing::Test {
  protected:
    void SetUp() override {
        platform::SetEvents(nullptr);
        for (platform::Form f : kForms) ASSERT_TRUE(Create(f)) << Name(f);
    }
    void TearDown() override {
        for (platform::Form f : kForms) EXPECT_TRUE(platform::windows::Destroy(f)) << Name(f);
        platform::SetEvents(nullptr);
        Pump();
    }
    static HWND Window(platform::Form f) { return platform::win32::WindowOf(f); }
    static constexpr platform::Form kForms[] = {platform::Form::Main, platform::Form::Shadow,
                                                platform::Form::Txt};
};

}  // namespace vistrelle_test

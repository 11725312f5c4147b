// The executable's own location.
#include "platform/shell.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/text.hpp"

namespace {

TEST(Shell, ExePathIsTheRunningExecutable) {
    wchar_t path[MAX_PATH * 4] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, path, MAX_PATH * 4), 0u);
    EXPECT_EQ(platform::shell::ExePath(), platform::win32::U16(path));
}

TEST(Shell, ExeFolderIsTheFolderWithoutTrailingBackslash) {
    const auto folder = platform::shell::ExeFolder();
    const auto path = platform::shell::ExePath();
    ASSERT_TRUE(folder && path);
    ASSERT_FALSE(folder->empty());
    if (folder->size() == 3 && (*folder)[1] == u':') {
        EXPECT_EQ(folder->back(), u'\\') << "a drive root keeps its backslash";
    } else {
        EXPECT_NE(folder->back(), u'\\') << "no trailing backslash";
    }
    const std::u16string expectedPrefix = folder->back() == u'\\' ? *folder : *folder + u"\\";
    ASSERT_EQ(path->rfind(expectedPrefix, 0), 0u) << "the executable lies in the folder";
    EXPECT_EQ(path->find(u'\\', expectedPrefix.size()), std::u16string::npos)
        << "directly in the folder";
}

TEST(Shell, OpeningAMissingFileFails) {
    EXPECT_FALSE(platform::shell::OpenWithAssociation(u"Z:\\no\\such\\file.xyz", u"C:\\"));
}

TEST(Shell, StartingAMissingProgramFails) {
    EXPECT_FALSE(platform::shell::StartProgram(u"C:\\no\\such\\program.exe"));
}

}  // namespace

// The shown picture's folder on Win32: Explorer's order, a listing made in the background, the
// stamp of a file, and the change notification that raises FolderChanged.
#include "platform/folders.hpp"

#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, whose types it uses.
#include <dbt.h>

#include "platform/win32/folder_watch.hpp"
#include "test_support.hpp"
#include "tests/common/name_order_cases.hpp"

namespace {

using vistrelle_test::RecordingEvents;
using vistrelle_test::TempDir;
using vistrelle_test::U16Path;
namespace folders = platform::folders;

TEST(Folders, NamesInExplorersOrder) {
    for (const auto& c : name_order::kCases) {
        SCOPED_TRACE(platform::win32::Wide(c.before));
        EXPECT_LT(folders::CompareNames(c.before, c.after), 0);
        EXPECT_GT(folders::CompareNames(c.after, c.before), 0);
    }
}

TEST(Folders, ListsFilesInOrderWithOrWithoutAPreparedListing) {
    TempDir dir;
    for (const wchar_t* name : {L"a10.png", L"照片.png", L"A2.png", L"a1.png"})
        dir.Write(name, "x");
    std::filesystem::create_directory(dir.Path() / L"sub");
    const std::u16string folder = U16Path(dir.Path());
    const std::vector<std::u16string> expected = {u"a1.png", u"A2.png", u"a10.png", u"照片.png"};
    folders::PrepareListing(folder);
    EXPECT_EQ(folders::ListInOrder(folder), expected);
    EXPECT_EQ(folders::ListInOrder(folder), expected) << "listed anew";
    folders::PrepareListing(u"C:\\no such folder here");
    EXPECT_EQ(folders::ListInOrder(u"C:\\no such folder here"), std::nullopt);
}

TEST(Folders, AWriteInTheWatchedFolderRaisesFolderChanged) {
    TempDir dir;
    const auto file = dir.Write(L"shown.png", "one");
    const auto before = folders::StampOf(U16Path(file));
    ASSERT_TRUE(before);
    RecordingEvents events;
    platform::SetEvents(&events);
    ASSERT_TRUE(folders::Watch(U16Path(dir.Path())));
    HANDLE watch = platform::win32::FolderWatchHandle();
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(::WaitForSingleObject(watch, 0), WAIT_TIMEOUT) << "nothing changed yet";
    ::Sleep(20);  // a later write time
    dir.Write(L"shown.png", "three");
    ASSERT_EQ(::WaitForSingleObject(watch, 5000), WAIT_OBJECT_0);
    platform::win32::FolderWatchSignalled();
    EXPECT_EQ(events.lines, std::vector<std::string>{"FolderChanged"});
    const auto after = folders::StampOf(U16Path(file));
    ASSERT_TRUE(after);
    EXPECT_NE(*after, *before);
    EXPECT_EQ(after->size, 5u);
    EXPECT_TRUE(folders::Watch(u""));
    EXPECT_EQ(platform::win32::FolderWatchHandle(), nullptr);
    platform::SetEvents(nullptr);
}

// Wine has no removable volumes: the picture window is handed the messages a stick's eject
// sends. The request closes the watch at once, its refusal watches again, the removal ends it.
class FolderDevice : public vistrelle_test::WindowsTest {};

TEST_F(FolderDevice, AVolumeAskedToGoIsLetGoAndWatchedAgainWhenItStays) {
    TempDir dir;
    const std::u16string folder = U16Path(dir.Path());
    ASSERT_TRUE(folders::Watch(folder));
    HANDLE directory = platform::win32::FolderWatchDirectory();
    ASSERT_NE(directory, nullptr) << "a handle on the folder for its device events";
    const auto send = [&](WPARAM event, HANDLE about) {
        DEV_BROADCAST_HANDLE message{};
        message.dbch_size = sizeof(message);
        message.dbch_devicetype = DBT_DEVTYP_HANDLE;
        message.dbch_handle = about;
        return ::SendMessageW(Window(platform::Form::Main), WM_DEVICECHANGE, event,
                              reinterpret_cast<LPARAM>(&message));
    };
    EXPECT_EQ(send(DBT_DEVICEQUERYREMOVE, INVALID_HANDLE_VALUE), TRUE) << "another volume";
    EXPECT_TRUE(folders::Watching(folder));
    EXPECT_EQ(send(DBT_DEVICEQUERYREMOVE, directory), TRUE) << "the removal is not refused";
    EXPECT_EQ(platform::win32::FolderWatchHandle(), nullptr);
    EXPECT_FALSE(folders::Watching(folder));
    send(DBT_DEVICEQUERYREMOVEFAILED, directory);
    EXPECT_TRUE(folders::Watching(folder)) << "the removal called off";
    ASSERT_NE(platform::win32::FolderWatchHandle(), nullptr);
    send(DBT_DEVICEREMOVECOMPLETE, platform::win32::FolderWatchDirectory());
    EXPECT_FALSE(folders::Watching(folder));
    EXPECT_TRUE(folders::Watch(u""));
}

TEST(Folders, ARootIsWatchedAsARootAndNamesMatchAsWindowsMatchesThem) {
    EXPECT_TRUE(folders::Watch(u"C:\\"));
    EXPECT_TRUE(folders::Watching(u"c:\\"));
    EXPECT_TRUE(folders::SameName(u"Photo.JPG", u"photo.jpg"));
    EXPECT_TRUE(folders::SameName(u"ÉTÉ.png", u"été.png"));
    EXPECT_FALSE(folders::SameName(u"a1.png", u"a01.png"));
    EXPECT_TRUE(folders::Watch(u""));
}

}  // namespace

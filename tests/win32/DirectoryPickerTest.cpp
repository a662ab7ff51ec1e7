// The directory picker: its lists read back through their messages, driven
// by the commands its buttons and lists send.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/Environment.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "win32/FrmDirectory.h"
#include "win32/WindowText.h"

namespace kloxmere::win32 {
namespace {

std::vector<std::string> listEntries(HWND list) {
    std::vector<std::string> entries;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                          L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        entries.push_back(Utf8FromWide(text));
    }
    return entries;
}

void command(const DialogWindow& window, int id, int code = BN_CLICKED) {
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(window.Control(id)));
}

class DirectoryPicker : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(temp.path() / L"Игры" / L"TA");
        std::filesystem::create_directories(temp.path() / L"Игры" / L"alpha");
        picker.Create(nullptr);
        games = WideFromUtf8(temp.file("Игры"));
        ASSERT_TRUE(picker.SetPath(games));
    }
    test::TempDir temp;
    test::RecordingServices services;
    FrmDirectory picker{services};
    std::wstring games;
};

TEST_F(DirectoryPicker, ListsAncestorsThenSubdirectoriesAndOpensOnlyOnDoubleClick) {
    HWND list = picker.Control(FrmDirectory::IdDir);
    std::vector<std::string> entries = listEntries(list);
    ASSERT_GE(entries.size(), 3u);
    // The open directory's subdirectories come last, sorted, a level deeper.
    const std::string& alpha = entries[entries.size() - 2];
    EXPECT_EQ(alpha.substr(alpha.find_first_not_of(' ')), "alpha");
    EXPECT_EQ(entries.back().substr(entries.back().find_first_not_of(' ')), "TA");
    EXPECT_EQ(entries.front().substr(0, 3).back(), '\\');  // the drive's root first
    EXPECT_EQ(WindowText(picker.Control(FrmDirectory::IdLblPath)), Utf8FromWide(games));

    // A highlight alone moves nothing.
    SendMessageW(list, LB_SETCURSEL, entries.size() - 1, 0);
    command(picker, FrmDirectory::IdDir, LBN_SELCHANGE);
    EXPECT_EQ(picker.Path(), games);
    command(picker, FrmDirectory::IdDir, LBN_DBLCLK);
    EXPECT_EQ(picker.Path(), games + L"\\TA");
    EXPECT_EQ(WindowText(picker.Control(FrmDirectory::IdLblPath)), Utf8FromWide(games + L"\\TA"));
    EXPECT_FALSE(picker.Ended());
}

TEST_F(DirectoryPicker, OkReturnsThePathWithOneSeparatorAndCancelNothing) {
    command(picker, IDOK);
    EXPECT_TRUE(picker.Ended());
    EXPECT_EQ(picker.SelectedDirectory(), Utf8FromWide(games) + "\\");

    FrmDirectory atRoot(services);
    atRoot.Create(nullptr);
    ASSERT_TRUE(atRoot.SetPath(games.substr(0, 3)));
    command(atRoot, IDOK);
    EXPECT_EQ(atRoot.SelectedDirectory(), Utf8FromWide(games.substr(0, 3)));  // "Z:\" unchanged

    FrmDirectory cancelled(services);
    cancelled.Create(nullptr);
    command(cancelled, IDCANCEL);
    EXPECT_TRUE(cancelled.Ended());
    EXPECT_EQ(cancelled.SelectedDirectory(), "");

    FrmDirectory closed(services);
    closed.Create(nullptr);
    SendMessageW(closed.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(closed.Ended());
    EXPECT_EQ(closed.SelectedDirectory(), "");
}

TEST_F(DirectoryPicker, CreateMakesAndOpensANewDirectory) {
    services.inputAnswers = {"Новая"};
    command(picker, FrmDirectory::IdCmdMakeDir);
    ASSERT_EQ(services.calls.size(), 1u);
    EXPECT_EQ(services.calls[0], "input New Dir: Enter the name of a new directory");
    EXPECT_TRUE(std::filesystem::is_directory(temp.path() / L"Игры" / L"Новая"));
    EXPECT_EQ(picker.Path(), games + L"\\Новая");
    EXPECT_FALSE(picker.Ended());

    // An empty answer does nothing.
    command(picker, FrmDirectory::IdCmdMakeDir);
    EXPECT_EQ(picker.Path(), games + L"\\Новая");
}

TEST_F(DirectoryPicker, APlainExistingDirectoryIsReportedAReadOnlyOneOpened) {
    const std::wstring plain = games + L"\\TA";
    SetFileAttributesW(plain.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    services.inputAnswers = {"TA"};
    command(picker, FrmDirectory::IdCmdMakeDir);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Directory already exists.");
    EXPECT_EQ(services.messages[0].title, "Dir Error");
    EXPECT_EQ(picker.Path(), games);

    const std::wstring readOnly = games + L"\\alpha";
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    if (GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY) {
        services.inputAnswers = {"alpha"};
        command(picker, FrmDirectory::IdCmdMakeDir);
        EXPECT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(picker.Path(), readOnly);
        SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    }
}

TEST_F(DirectoryPicker, EachDriveReopensWhereItWasLeft) {
    HWND drives = picker.Control(FrmDirectory::IdDrive);
    const std::vector<std::wstring> roots = SystemDrives();
    const int here = static_cast<int>(SendMessageW(drives, CB_GETCURSEL, 0, 0));
    ASSERT_GE(here, 0);
    int other = -1;
    for (int i = 0; i < static_cast<int>(roots.size()) && other < 0; ++i) {
        if (i != here && GetFileAttributesW(roots[static_cast<std::size_t>(i)].c_str()) !=
                             INVALID_FILE_ATTRIBUTES) {
            other = i;
        }
    }
    if (other < 0) {
        GTEST_SKIP() << "no second drive";
    }
    const wchar_t hereLetter = roots[static_cast<std::size_t>(here)][0];
    const bool gamesHere = towupper(games[0]) == towupper(hereLetter);
    SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(other), 0);
    command(picker, FrmDirectory::IdDrive, CBN_SELCHANGE);
    EXPECT_EQ(towupper(picker.Path()[0]), towupper(roots[static_cast<std::size_t>(other)][0]));
    EXPECT_EQ(WindowText(picker.Control(FrmDirectory::IdLblPath)), Utf8FromWide(picker.Path()));
    SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(here), 0);
    command(picker, FrmDirectory::IdDrive, CBN_SELCHANGE);
    EXPECT_EQ(towupper(picker.Path()[0]), towupper(hereLetter));
    if (gamesHere) {
        EXPECT_EQ(picker.Path(), games);  // where it was left
    }
}

TEST_F(DirectoryPicker, AnUnreadablePathKeepsTheListWhereItWas) {
    EXPECT_FALSE(picker.SetPath(games + L"\\missing"));
    EXPECT_EQ(picker.Path(), games);
    EXPECT_FALSE(listEntries(picker.Control(FrmDirectory::IdDir)).empty());
}

}  // namespace
}  // namespace kloxmere::win32

// What the Windows file system adds to the never-replacing rename and to
// names: case-blind names, files held open by another program, hidden
// attributes and names outside every ANSI code page. Built on Windows only.

#include <windows.h>

#include <gtest/gtest.h>

#include "base/Environment.h"
#include "base/FileSystem.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;

namespace {

std::string text(const TempDir& dir, const std::string& name) {
    auto bytes = dir.read(name);
    return std::string(bytes.begin(), bytes.end());
}

TEST(WindowsRename, ANameDifferingOnlyInCaseIsTheSameFileAndIsRefused) {
    TempDir dir;
    dir.write("REV.HPI", "archive");
    std::string reason;
    EXPECT_FALSE(RenameNoReplace(dir.path() / "REV.HPI", dir.path() / "rev.hpi", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(DirectoryNames(dir.str()).all(), std::vector<std::string>{"REV.HPI"});
}

TEST(WindowsRename, AFileHeldOpenByAnotherProgramKeepsItsName) {
    TempDir dir;
    dir.write("rev.hpi", "archive");
    // The game keeps its archives open like this: others may read, not move.
    HANDLE held = CreateFileW((dir.path() / "rev.hpi").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string reason;
    EXPECT_FALSE(RenameNoReplace(dir.path() / "rev.hpi", dir.path() / "rev.xhpi", &reason));
    EXPECT_FALSE(reason.empty());
    CloseHandle(held);
    EXPECT_EQ(text(dir, "rev.hpi"), "archive");
    EXPECT_FALSE(dir.exists("rev.xhpi"));
    EXPECT_TRUE(RenameNoReplace(dir.path() / "rev.hpi", dir.path() / "rev.xhpi"));
}

TEST(WindowsRename, NamesOutsideTheCodePageRenameAndNeverReplace) {
    TempDir dir;
    const std::string unit =
        "\xD0\xAE\xD0\xBD\xD0\xB8\xD1\x82-\xE9\x83\xA8\xE9\x9A\x8A";  // Юнит-部隊
    dir.write(unit + ".hpi", "enabled");
    dir.write(unit + ".xhpi", "disabled");
    auto path = [&](const std::string& name) { return PathFromUtf8(dir.file(name)); };
    EXPECT_FALSE(RenameNoReplace(path(unit + ".hpi"), path(unit + ".xhpi")));
    EXPECT_EQ(text(dir, unit + ".xhpi"), "disabled");
    EXPECT_TRUE(RenameNoReplace(path(unit + ".hpi"), path(unit + ".xufo")));
    EXPECT_EQ(text(dir, unit + ".xufo"), "enabled");

    DirectoryNames names(dir.str());
    EXPECT_EQ(names.find(unit + ".XUFO"), unit + ".xufo");
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(unit)), unit);
    EXPECT_EQ(Utf8FromWide(WideFromUtf8(unit)), unit);
}

TEST(WindowsNames, HiddenAndSystemFilesAreNotNormalFiles) {
    TempDir dir;
    for (const char* name : {"shown.hpi", "hidden.hpi", "system.hpi"}) dir.write(name, "x");
    std::filesystem::create_directory(dir.path() / "folder.hpi");  // no file at all
    SetFileAttributesW((dir.path() / "hidden.hpi").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((dir.path() / "system.hpi").c_str(), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(IsNormalFile(dir.path() / "shown.hpi"));
    EXPECT_FALSE(IsNormalFile(dir.path() / "hidden.hpi"));
    EXPECT_EQ(DirectoryNames(dir.str()).all(), std::vector<std::string>{"shown.hpi"});
    for (const char* name : {"hidden.hpi", "system.hpi"}) {
        SetFileAttributesW((dir.path() / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

}  // namespace

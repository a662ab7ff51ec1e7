#include "base/FileSystem.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;

TEST(RenameNoReplace, RenamesToAFreeName) {
    TempDir dir;
    dir.write("rev.hpi", "archive");
    EXPECT_TRUE(RenameNoReplace(dir.path() / "rev.hpi", dir.path() / "rev.xhpi"));
    EXPECT_FALSE(dir.exists("rev.hpi"));
    EXPECT_TRUE(dir.exists("rev.xhpi"));
}

TEST(RenameNoReplace, NeverReplacesAnExistingFile) {
    TempDir dir;
    dir.write("rev.hpi", "enabled");
    dir.write("rev.xhpi", "disabled");
    std::string reason;
    EXPECT_FALSE(RenameNoReplace(dir.path() / "rev.hpi", dir.path() / "rev.xhpi", &reason));
    EXPECT_FALSE(reason.empty());
    auto text = [&](const char* name) {
        auto bytes = dir.read(name);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(text("rev.hpi"), "enabled");
    EXPECT_EQ(text("rev.xhpi"), "disabled");
    EXPECT_FALSE(RenameNoReplace(dir.path() / "rev.hpi", dir.path() / "rev.hpi"));
    EXPECT_EQ(text("rev.hpi"), "enabled");
}

TEST(WriteFileAtomically, ReplacesTheTargetOnlyWhenComplete) {
    TempDir dir;
    dir.write("list.udf", "old and longer content");
    std::vector<std::uint8_t> fresh = {'n', 'e', 'w'};
    WriteFileAtomically(dir.path() / "list.udf", fresh);
    EXPECT_EQ(dir.read("list.udf"), fresh);

    EXPECT_THROW(WriteFileAtomically(dir.path() / "missing-dir" / "x.udf", fresh), FileError);
    EXPECT_FALSE(dir.exists("missing-dir"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ReadFileBytes, RefusesMissingFilesAndDirectories) {
    TempDir dir;
    EXPECT_THROW(ReadFileBytes(dir.path() / "missing"), FileError);
    EXPECT_THROW(ReadFileBytes(dir.path()), FileError);
    dir.write("empty", "");
    EXPECT_TRUE(ReadFileBytes(dir.path() / "empty").empty());
}

#include "base/FileBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/FileSystem.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;

namespace fs = std::filesystem;

TEST(FileBytes, HoldsTheFileAsItWasThroughALetGoAReplacementAndAMove) {
    TempDir dir;
    // Several pages with a pattern no page repeats, so a page read back from
    // the wrong place would show.
    std::vector<std::uint8_t> content(5 * 4096 + 123);
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<std::uint8_t>((i * 7 + i / 4096) & 0xFF);
    }
    fs::path path = dir.path() / "cache.dat";
    WriteFileAtomically(path, content);

    auto held = FileBytes::Read(path);
    ASSERT_TRUE(held);
    auto bytes = held->bytes();
    ASSERT_EQ(bytes.size(), content.size());
    held->letGo(bytes.subspan(100, 3 * 4096));
    held->letGo(bytes);
    // A writer renames a new file over the old one while it is held.
    WriteFileAtomically(path, std::vector<std::uint8_t>(10, 0xEE));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), content.begin()));

    FileBytes moved = std::move(*held);
    EXPECT_TRUE(held->bytes().empty());
    EXPECT_TRUE(std::equal(moved.bytes().begin(), moved.bytes().end(), content.begin()));
    moved = FileBytes::FromVector({1, 2, 3});
    EXPECT_EQ(std::vector<std::uint8_t>(moved.bytes().begin(), moved.bytes().end()),
              (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(FileBytes, AMissingEmptyOrFolderPathGivesNothing) {
    TempDir dir;
    dir.write("empty", "");
    fs::create_directories(dir.path() / "folder");
    EXPECT_FALSE(FileBytes::Read(dir.path() / "missing"));
    EXPECT_FALSE(FileBytes::Read(dir.path() / "empty"));
    EXPECT_FALSE(FileBytes::Read(dir.path() / "folder"));
}

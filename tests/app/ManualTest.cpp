// Where the About window finds the manual: the installed documentation, else
// beside the program, else nowhere.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/Manual.h"
#include "base/FileSystem.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;

namespace {

std::string textOf(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(FindManual, InstalledDocumentationFirstThenBesideTheProgramElseNone) {
    TempDir root;
    root.write("bin/kloxmere", "program");
    const std::string bin = root.str() + "bin/";
    EXPECT_EQ(FindManual(bin), "");  // nothing shipped: no link

    root.write("bin/README.md", "portable");
    EXPECT_EQ(textOf(FindManual(bin)), "portable");

    root.write("share/doc/kloxmere/README.md", "installed");
    EXPECT_EQ(textOf(FindManual(bin)), "installed");
    EXPECT_EQ(FindManual(root.str() + "other/bin/"), "");
}

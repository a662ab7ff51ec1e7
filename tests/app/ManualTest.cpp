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

TEST(FindManual, InstalledDocumentationFirstThenBesideTheProgramElseNone) {
    TempDir root;
    root.write("bin/kloxmere", "program");
    const std::string bin = root.str() + "bin/";
    EXPECT_EQ(FindManual(bin), "");  // nothing shipped: no link

    root.write("bin/README.md", "portable");
    EXPECT_EQ(FindManual(bin), root.file("bin/README.md"));

    root.write("share/doc/kloxmere/README.md", "installed");
    const std::string installed = FindManual(bin);
    std::ifstream text(PathFromUtf8(installed));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(text), {}), "installed");
    EXPECT_EQ(FindManual(root.str() + "other/bin/"), "");
}

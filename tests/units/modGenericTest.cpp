#include "units/modGeneric.h"

#include <gtest/gtest.h>

#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;

TEST(PathSplitting, SplitsAtTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(FilePath("C:\\Games\\Viewer\\view.exe"), "C:\\Games\\Viewer");
    EXPECT_EQ(FilePath("view.exe"), "view.exe");
    EXPECT_EQ(FilePath("/home/ta/tools/view.exe"), "/home/ta/tools");
    EXPECT_EQ(FileTitle("C:\\TA\\totala1.hpi"), "totala1.hpi");
    EXPECT_EQ(FileTitle("C:\\TA\\"), "");
    EXPECT_EQ(FileTitle("/srv/ta/mods\\rev.ufo"), "rev.ufo");
    EXPECT_EQ(FileTitle("rev.ufo"), "rev.ufo");
}

TEST(ProperCase, CapitalisesTheFirstCharacterOnly) {
    EXPECT_EQ(ProperCase("cORE"), "Core");
    EXPECT_EQ(ProperCase("a"), "A");
    EXPECT_EQ(ProperCase(""), "");
    EXPECT_EQ(ProperCase("éTÉ"), "Été");
}

TEST(CleanLine, DropsNulsAndTabsThenTrimsBlanks) {
    EXPECT_EQ(CleanLine("\tMaxDamage=1200;  "), "MaxDamage=1200;");
    EXPECT_EQ(CleanLine("Name=\tX;"), "Name=X;");
    EXPECT_EQ(CleanLine(std::string("a\0b", 3)), "ab");
    EXPECT_EQ(CleanLine("  \t  "), "");
    EXPECT_EQ(CleanLine("a\rb"), "a\rb");  // other control characters stay
}

TEST(ZStrings, RoundTripThroughWindows1252) {
    ByteWriter out;
    WriteZString(out, "Café");
    WriteZString(out, "");
    WriteZString(out, "漢");
    const std::vector<std::uint8_t> expected = {'C', 'a', 'f', 0xE9, 0, 0, '?', 0};
    EXPECT_EQ(out.bytes(), expected);

    ByteReader in(out.bytes());
    EXPECT_EQ(ReadZString(in), "Café");
    EXPECT_EQ(ReadZString(in), "");
    EXPECT_EQ(ReadZString(in), "?");
    EXPECT_FALSE(in.hitEnd());
    EXPECT_EQ(ReadZString(in), "");
    EXPECT_TRUE(in.hitEnd());  // stopped at the end, not at a terminator
}

TEST(FindFiles, MatchesWithoutRegardToCaseAndSortsLikeWindows) {
    TempDir dir;
    for (const char* name : {"rev.ufo", "ALPHA.UFO", "beta.Ufo", "mod.hpi", ".hidden.ufo"}) {
        dir.write(name, "x");
    }
    std::filesystem::create_directory(dir.path() / "folder.ufo");
    std::string directory = Utf8FromPath(dir.path());
    std::vector<std::string> found;
    FindFiles(directory, found, "*.ufo");
    EXPECT_EQ(directory, dir.str());  // the separator was appended
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], dir.str() + "ALPHA.UFO");
    EXPECT_EQ(found[1], dir.str() + "beta.Ufo");
    EXPECT_EQ(found[2], dir.str() + "rev.ufo");
}

TEST(FindFiles, AppendsNothingForAnEmptyOrMissingDirectory) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    std::vector<std::string> found;
    std::string directory = dir.str();
    FindFiles(directory, found, "*");
    std::string missing = dir.str() + "nowhere";
    FindFiles(missing, found, "*");
    EXPECT_TRUE(found.empty());
}

TEST(MatchesPattern, HandlesBothWildcards) {
    EXPECT_TRUE(MatchesPattern("REV.XHPI", "*.xhpi"));
    EXPECT_FALSE(MatchesPattern("rev.hpi", "*.xhpi"));
    EXPECT_TRUE(MatchesPattern("a1.udf", "a?.udf"));
    EXPECT_TRUE(MatchesPattern("é.udf", "?.udf"));
    EXPECT_FALSE(MatchesPattern("rev.hpix", "*.hpi"));
}

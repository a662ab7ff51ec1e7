// unitgroups.dat and the edits of the group editor.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "catalogue/GroupEditing.h"
#include "catalogue/UnitGroupsFile.h"
#include "catalogue/clsUnitGroup.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;

// One group Core with the keywords core and arm.
const Bytes kCoreGroup = {0x01, 0x00, 0x00, 0x00, 0x43, 0x6F, 0x72, 0x65, 0x00, 0x02, 0x00,
                          0x00, 0x00, 0x63, 0x6F, 0x72, 0x65, 0x00, 0x61, 0x72, 0x6D, 0x00};

Bytes bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// "name: keyword keyword" per group.
Strings describe(const Collection<clsUnitGroup>& groups) {
    Strings lines;
    for (const auto& group : groups) {
        lines.push_back(group.Name + ":");
        for (const auto& keyword : group.Keywords) {
            lines.back() += " " + keyword;
        }
    }
    return lines;
}

}  // namespace

TEST(UnitGroupsFile, TheExampleFileRoundTripsByteForByte) {
    TempDir dir;
    Collection<clsUnitGroup> groups;
    EXPECT_EQ(ParseUnitGroups(kCoreGroup, groups), "");
    EXPECT_EQ(describe(groups), Strings{"Core: core arm"});
    dir.write("unitgroups.dat", Bytes(100, 'A'));  // longer than what is saved
    ASSERT_TRUE(SaveGroups(groups, dir.str()));
    EXPECT_EQ(dir.read("unitgroups.dat"), kCoreGroup);

    Collection<clsUnitGroup> loaded;
    EXPECT_FALSE(LoadGroups(loaded, dir.str()).damaged);
    EXPECT_EQ(describe(loaded), Strings{"Core: core arm"});
}

TEST(UnitGroupsFile, ShortFilesNegativeCountsAndTrailingBytesAreNoDamage) {
    for (const Bytes& data : {Bytes{1, 0, 0},
                              bytes(std::string_view("\xFF\xFF\xFF\xFF"
                                                     "A",
                                                     5)),
                              bytes(std::string_view("\0\0\0\0junk", 8))}) {
        Collection<clsUnitGroup> groups;
        EXPECT_EQ(ParseUnitGroups(data, groups), "");
        EXPECT_TRUE(groups.empty());
    }
    Bytes trailing = kCoreGroup;
    trailing.insert(trailing.end(), {0xFF, 0x00});
    Collection<clsUnitGroup> groups;
    EXPECT_EQ(ParseUnitGroups(trailing, groups), "");
    EXPECT_EQ(groups.Count(), 1u);
}

TEST(UnitGroupsFile, DamageKeepsTheGroupsReadBeforeIt) {
    const Bytes truncated = bytes(std::string_view("\2\0\0\0A\0\1\0\0\0a\0B\0\2\0\0\0b\0", 20));
    const Bytes sameName = bytes(std::string_view("\2\0\0\0A\0\0\0\0\0a\0\0\0\0\0", 16));
    const Bytes hugeCount =
        bytes(std::string_view("\xFF\xFF\xFF\x7F"
                               "A\0\xFF\xFF\xFF\x7F",
                               10));
    for (const auto& [data, kept] :
         {std::pair{truncated, Strings{"A: a"}}, std::pair{sameName, Strings{"A:"}},
          std::pair{hugeCount, Strings{}}}) {
        Collection<clsUnitGroup> groups;
        EXPECT_NE(ParseUnitGroups(data, groups), "");
        EXPECT_EQ(describe(groups), kept);
    }
}

TEST(LoadGroups, AMissingFileIsNotCreatedAndADamagedOneIsMovedAside) {
    TempDir dir;
    Collection<clsUnitGroup> groups;
    EXPECT_FALSE(LoadGroups(groups, dir.str()).found);
    EXPECT_FALSE(dir.exists("unitgroups.dat"));

    const Bytes damaged = bytes(std::string_view("\2\0\0\0A\0\1\0\0\0a\0B\0\5\0", 16));
    dir.write("unitgroups.dat", damaged);
    dir.write("unitgroups.dat.damaged", "older");
    GroupsLoadResult result = LoadGroups(groups, dir.str());
    EXPECT_TRUE(result.damaged);
    EXPECT_NE(result.problem.find("unitgroups.dat"), std::string::npos);
    EXPECT_EQ(describe(groups), Strings{"A: a"});
    EXPECT_FALSE(dir.exists("unitgroups.dat"));
    EXPECT_EQ(dir.read("unitgroups.dat.damaged"), damaged);
}

TEST(SaveGroups, AFailedSaveKeepsThePreviousFile) {
    TempDir dir;
    Collection<clsUnitGroup> groups;
    std::string reason;
    EXPECT_FALSE(SaveGroups(groups, dir.file("missing"), &reason));
    EXPECT_FALSE(reason.empty());
#ifdef _WIN32
    GTEST_SKIP() << "a read-only directory does not refuse new files on Windows";
#else
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
#endif
    dir.write("locked/unitgroups.dat", kCoreGroup);
    namespace fs = std::filesystem;
    fs::permissions(dir.path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(SaveGroups(groups, dir.file("locked")));
    fs::permissions(dir.path() / "locked", fs::perms::owner_all);
    EXPECT_EQ(dir.read("locked/unitgroups.dat"), kCoreGroup);
}

TEST(SaveGroups, CharactersWithoutAWindows1252ByteBecomeQuestionMarks) {
    TempDir dir;
    Collection<clsUnitGroup> groups;
    AddGroup(groups, "\xCE\xA9 team");  // Ω
    AddKeyword(*groups.Find("\xCE\xA9 team"), "\xE6\x97\xA5");
    AddGroup(groups, "Caf\xC3\xA9");  // é has a byte
    ASSERT_TRUE(SaveGroups(groups, dir.str()));
    Collection<clsUnitGroup> loaded;
    LoadGroups(loaded, dir.str());
    EXPECT_EQ(describe(loaded), (Strings{"? team: ?", "Caf\xC3\xA9:"}));
}

TEST(GroupEditing, NamesAndKeywordsAreUniqueWithoutRegardToCase) {
    Collection<clsUnitGroup> groups;
    EXPECT_TRUE(AddGroup(groups, "arm"));
    EXPECT_FALSE(AddGroup(groups, "Arm"));
    EXPECT_FALSE(AddGroup(groups, ""));    // a cancelled input box
    EXPECT_TRUE(AddGroup(groups, "   "));  // blanks are a name
    clsUnitGroup& arm = *groups.Find("ARM");
    EXPECT_TRUE(AddKeyword(arm, "core"));
    EXPECT_FALSE(AddKeyword(arm, "CORE"));
    EXPECT_TRUE(AddKeyword(arm, "xta"));
    EXPECT_TRUE(DeleteKeyword(arm, 1));
    EXPECT_FALSE(DeleteKeyword(arm, 2));
    EXPECT_EQ(describe(groups), (Strings{"arm: xta", "   :"}));
    EXPECT_TRUE(DeleteGroup(groups, "ARM"));
    EXPECT_FALSE(DeleteGroup(groups, "arm"));
    EXPECT_EQ(describe(groups), Strings{"   :"});
}

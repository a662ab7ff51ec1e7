// unitgroups.dat and the edits of the group editor.

#include <gtest/gtest.h>

#include <unistd.h>

#include "catalogue/GroupEditing.h"
#include "catalogue/UnitGroupsFile.h"
#include "catalogue/clsUnitGroup.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;

// One group Core with the keywords core and arm.
const Bytes kCoreGroup = {0x01, 0x00, 0x00, 0x00, 0x43, 0x6F, 0x72, 0x65, 0x00, 0x02, 0x00,
                          0x00, 0x00, 0x63, 0x6F, 0x72, 0x65, 0x00, 0x61, 0x72, 0x6D, 0x00};

Bytes groupBytes(std::int32_t groupCount, std::string_view body) {
    Bytes bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(groupCount) >> shift));
    }
    for (char c : body) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

// "name: keyword, keyword" per group.
std::vector<std::string> describe(const Collection<clsUnitGroup>& groups) {
    std::vector<std::string> lines;
    for (const auto& group : groups) {
        std::string line = group.Name + ":";
        for (const auto& keyword : group.Keywords) {
            line += " " + keyword;
        }
        lines.push_back(line);
    }
    return lines;
}

Collection<clsUnitGroup> parse(const Bytes& bytes, std::string* problem = nullptr) {
    Collection<clsUnitGroup> groups;
    std::string found = ParseUnitGroups(bytes, groups);
    if (problem) {
        *problem = found;
    }
    return groups;
}

}  // namespace

TEST(UnitGroupsFormat, TheExampleFileRoundTripsByteForByte) {
    std::string problem;
    auto groups = parse(kCoreGroup, &problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(describe(groups), std::vector<std::string>{"Core: core arm"});
    EXPECT_EQ(FormatUnitGroups(groups), kCoreGroup);
}

TEST(UnitGroupsFormat, EmptyGroupsAndRepeatedKeywordsSurvive) {
    Collection<clsUnitGroup> groups;
    ASSERT_TRUE(AddGroup(groups, "Empty"));
    clsUnitGroup twice;
    twice.Name = "Twice";
    twice.Keywords.Add("xta");
    twice.Keywords.Add("xta");
    groups.Add(std::move(twice), "Twice");
    Bytes bytes = FormatUnitGroups(groups);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 14),
              groupBytes(2, std::string_view("Empty\0\0\0\0\0", 10)));
    EXPECT_EQ(describe(parse(bytes)), (std::vector<std::string>{"Empty:", "Twice: xta xta"}));
}

TEST(UnitGroupsFormat, ShortOrNegativeCountsHoldNoGroupsAndTrailingBytesAreIgnored) {
    for (const Bytes& bytes : {Bytes{}, Bytes{0x01, 0x00, 0x00}, groupBytes(0, "junk"),
                               groupBytes(-1, std::string_view("A\0\0\0\0\0", 6))}) {
        std::string problem;
        EXPECT_TRUE(parse(bytes, &problem).empty());
        EXPECT_EQ(problem, "");
    }
    Bytes trailing = kCoreGroup;
    trailing.insert(trailing.end(), {0xFF, 0xFF, 0x00});
    EXPECT_EQ(describe(parse(trailing)), std::vector<std::string>{"Core: core arm"});
}

TEST(UnitGroupsFormat, DamageKeepsTheGroupsReadBeforeIt) {
    std::string problem;
    Bytes twoGroups = groupBytes(2, std::string_view("A\0\1\0\0\0a\0B\0\2\0\0\0b\0", 16));
    EXPECT_EQ(describe(parse(twoGroups, &problem)), (std::vector<std::string>{"A: a"}));
    EXPECT_NE(problem, "");

    Bytes huge = groupBytes(0x7FFFFFFF, std::string_view("A\0\xFF\xFF\xFF\x7F", 6));
    EXPECT_TRUE(parse(huge, &problem).empty());  // a count is no promise of data
    EXPECT_NE(problem, "");

    Bytes sameName = groupBytes(2, std::string_view("Core\0\0\0\0\0core\0\0\0\0\0", 18));
    EXPECT_EQ(describe(parse(sameName, &problem)), std::vector<std::string>{"Core:"});
    EXPECT_NE(problem.find("twice"), std::string::npos);
}

TEST(UnitGroupsFormat, CharactersWithoutAWindows1252ByteBecomeQuestionMarks) {
    Collection<clsUnitGroup> groups;
    AddGroup(groups, "\xCE\xA9 team");  // Ω
    AddKeyword(*groups.Find("\xCE\xA9 team"), "\xE6\x97\xA5");
    AddGroup(groups, "Caf\xC3\xA9");  // é has a byte
    AddKeyword(*groups.Find("Caf\xC3\xA9"), "mod");
    EXPECT_EQ(describe(parse(FormatUnitGroups(groups))),
              (std::vector<std::string>{"? team: ?", "Caf\xC3\xA9: mod"}));
}

TEST(LoadGroups, AMissingFileGivesNoGroupsAndIsNotCreated) {
    TempDir dir;
    Collection<clsUnitGroup> groups;
    GroupsLoadResult result = LoadGroups(groups, dir.str());
    EXPECT_FALSE(result.found);
    EXPECT_TRUE(groups.empty());
    EXPECT_FALSE(dir.exists("unitgroups.dat"));
}

TEST(LoadGroups, ADamagedFileIsMovedAsideReplacingAnOlderOne) {
    TempDir dir;
    Bytes damaged = groupBytes(2, std::string_view("A\0\1\0\0\0a\0B\0\5\0", 12));
    dir.write("unitgroups.dat", damaged);
    dir.write("unitgroups.dat.damaged", "older");
    Collection<clsUnitGroup> groups;
    GroupsLoadResult result = LoadGroups(groups, dir.str());
    EXPECT_TRUE(result.found);
    EXPECT_TRUE(result.damaged);
    EXPECT_NE(result.problem.find("unitgroups.dat"), std::string::npos);
    EXPECT_EQ(describe(groups), std::vector<std::string>{"A: a"});
    EXPECT_FALSE(dir.exists("unitgroups.dat"));
    EXPECT_EQ(dir.read("unitgroups.dat.damaged"), damaged);
}

TEST(SaveGroups, WritesTheFileThatLoadsBack) {
    TempDir dir;
    dir.write("unitgroups.dat", Bytes(100, 0x41));  // longer than what is saved
    Collection<clsUnitGroup> groups;
    AddGroup(groups, "Core");
    AddKeyword(*groups.Find("Core"), "core");
    AddKeyword(*groups.Find("Core"), "arm");
    ASSERT_TRUE(SaveGroups(groups, dir.str()));
    EXPECT_EQ(dir.read("unitgroups.dat"), kCoreGroup);
    Collection<clsUnitGroup> loaded;
    EXPECT_FALSE(LoadGroups(loaded, dir.str()).damaged);
    EXPECT_EQ(describe(loaded), std::vector<std::string>{"Core: core arm"});

    Collection<clsUnitGroup> none;
    ASSERT_TRUE(SaveGroups(none, dir.str()));
    EXPECT_EQ(dir.read("unitgroups.dat"), groupBytes(0, ""));
}

TEST(SaveGroups, AFailedSaveKeepsWhatWasThere) {
    TempDir dir;
    std::string reason;
    Collection<clsUnitGroup> groups;
    AddGroup(groups, "Core");
    EXPECT_FALSE(SaveGroups(groups, dir.file("missing"), &reason));
    EXPECT_FALSE(reason.empty());

    // A directory in the file's place cannot be replaced; it stays with its content.
    dir.write("blocked/unitgroups.dat/inside", "kept");
    EXPECT_FALSE(SaveGroups(groups, dir.file("blocked")));
    EXPECT_TRUE(dir.exists("blocked/unitgroups.dat/inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "blocked"),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind
}

TEST(SaveGroups, AnUnwritableDirectoryKeepsThePreviousFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    TempDir dir;
    dir.write("locked/unitgroups.dat", kCoreGroup);
    std::filesystem::permissions(dir.path() / "locked", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_exec);
    EXPECT_FALSE(SaveGroups(Collection<clsUnitGroup>(), dir.file("locked")));
    EXPECT_EQ(dir.read("locked/unitgroups.dat"), kCoreGroup);
    std::filesystem::permissions(dir.path() / "locked", std::filesystem::perms::owner_all);
}

TEST(GroupEditing, NamesAndKeywordsAreUniqueWithoutRegardToCase) {
    Collection<clsUnitGroup> groups;
    EXPECT_TRUE(AddGroup(groups, "arm"));
    EXPECT_FALSE(AddGroup(groups, "Arm"));
    EXPECT_FALSE(AddGroup(groups, ""));    // a cancelled input box
    EXPECT_TRUE(AddGroup(groups, "   "));  // blanks are a name
    EXPECT_EQ(describe(groups), (std::vector<std::string>{"arm:", "   :"}));

    clsUnitGroup& arm = *groups.Find("ARM");
    EXPECT_TRUE(AddKeyword(arm, "core"));
    EXPECT_FALSE(AddKeyword(arm, "CORE"));
    EXPECT_FALSE(AddKeyword(arm, ""));
    EXPECT_TRUE(AddKeyword(arm, "xta"));
    EXPECT_EQ(describe(groups)[0], "arm: core xta");

    EXPECT_TRUE(DeleteKeyword(arm, 1));
    EXPECT_FALSE(DeleteKeyword(arm, 2));
    EXPECT_FALSE(DeleteKeyword(arm, 0));
    EXPECT_EQ(describe(groups)[0], "arm: xta");

    EXPECT_TRUE(DeleteGroup(groups, "ARM"));
    EXPECT_FALSE(DeleteGroup(groups, "arm"));
    EXPECT_TRUE(DeleteGroup(groups, "   "));
    EXPECT_TRUE(groups.empty());
    EXPECT_TRUE(AddGroup(groups, "Arm"));  // the name is free again
}

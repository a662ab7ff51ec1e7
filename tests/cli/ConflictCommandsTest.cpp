// kloxmere-cli conflicts, schema diff, list --filter and the partners of
// unit --json, end to end on the demo installation.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "app/DemoInstallation.h"
#include "base/FileSystem.h"
#include "tests/cli/CliRunner.h"
#include "tests/cli/DemoCli.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
using Json = nlohmann::json;

TEST(CliConflicts, UnitNamesItsPartnersAndTheNearestFreeNumbers) {
    DemoCli cli;
    Json unit = cli.json("unit ARMBOLT");
    ASSERT_EQ(unit["conflicts"].size(), 1u);
    EXPECT_EQ(unit["conflicts"][0], (Json{{"unit", "NOVATANK"},
                                          {"unitKey", "NOVATANK9"},
                                          {"weapon", "ARM_BOLT"},
                                          {"otherWeapon", "NOVA_PULSE"},
                                          {"weaponNumber", 3},
                                          {"archive", "aurora.ufo"},
                                          {"enabled", true}}));
    // 1, 3 to 7 and 10 are taken: 2 is nearest, then 0 (lower than 8 at one step more).
    EXPECT_EQ(unit["freeWeaponNumbers"], (Json{{"ARM_BOLT", {2, 0, 8}}}));
    // The disabled partner is reported as such; a unit without conflicts has none.
    EXPECT_EQ(cli.json("unit CORKBOT")["conflicts"][0]["enabled"], false);
    Json calm = cli.json("unit ARMCOM");
    EXPECT_TRUE(calm["conflicts"].empty());
    EXPECT_TRUE(calm["freeWeaponNumbers"].empty());
}

TEST(CliConflicts, ListsEveryConflictAsAPairOnce) {
    DemoCli cli;
    CliResult text = cli.run("conflicts");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out,
              "ARM_BOLT (ARMBOLT, kloxbase.hpi) and NOVA_PULSE (NOVATANK, aurora.ufo) share weapon "
              "number 3\n"
              "CORE_ROCKET (CORKBOT, kloxextra.ccx) and RETRO_CANNON (RETROGUN, retro.xufo) share "
              "weapon number 7\n"
              "ARMBOLT (kloxbase.hpi) and NOVATANK (aurora.ufo) share menu 1 button 2 on unit "
              "ARMCOM\n");
    Json pairs = cli.json("conflicts");
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[1]["second"]["unitKey"], "RETROGUN10");
    EXPECT_EQ(pairs[1]["second"]["enabled"], false);
    EXPECT_EQ(pairs[2]["kind"], "menu");
    EXPECT_EQ(pairs[2]["builder"], "ARMCOM");
    EXPECT_EQ(pairs[2]["second"],
              (Json{{"unit", "NOVATANK"}, {"archive", "aurora.ufo"}, {"enabled", true}}));
}

TEST(CliConflicts, ListFilterKeepsRowsShowingTheTextInAnyColumn) {
    DemoCli cli;
    Json rows = cli.json("list --tab conflicts --filter AURORA");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["key"], "NOVATANK9");
    // The menu conflict's row is found by its words; the units tab's own columns count.
    EXPECT_EQ(cli.json("list --tab conflicts --filter " + Quoted("share menu")).size(), 1u);
    EXPECT_EQ(cli.json("list --filter stomper")[0]["key"], "CORKBOT7");
    EXPECT_TRUE(cli.json("list --filter nothing-like-this").empty());
}

TEST(CliConflicts, SchemaDiffSaysWhatAnImportWouldRenameAndRenamesNothing) {
    DemoCli cli;
    cli.scratch.write("friend.uls",
                      "KLOXBASE.XHPI\r\nC:\\TA\\retro.ufo\r\nfaraway.ufo\r\naurora.ufo\r\n");
    Json diff = cli.json("schema diff " + Quoted(cli.scratch.file("friend.uls")));
    EXPECT_EQ(diff, (Json{{"enable", {"retro.xufo"}},
                          {"disable", {"kloxbase.hpi"}},
                          {"missing", {"faraway.ufo"}},
                          {"unlisted", {"kloxextra.ccx"}}}));
    EXPECT_TRUE(cli.exists("kloxbase.hpi"));
    EXPECT_TRUE(cli.exists("retro.xufo"));

    CliResult unreadable = cli.run("schema diff " + Quoted(cli.scratch.file("none.uls")));
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_FALSE(unreadable.err.empty());
}

// kloxmere-cli's catalogue commands end to end, on the demo installation.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/DemoInstallation.h"
#include "base/FileSystem.h"
#include "tests/cli/CliRunner.h"
#include "tests/cli/DemoCli.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
using Json = nlohmann::json;

TEST(CliCatalogue, ScanCountsWhatTheDemoHolds) {
    DemoCli cli;
    Json scan = cli.json("scan");
    EXPECT_EQ(scan["archives"], 4);
    EXPECT_EQ(scan["units"], 10);
    EXPECT_EQ(scan["weapons"], 9);
    EXPECT_EQ(scan["menuEntries"], 8);
    EXPECT_EQ(scan["unitsWithWeaponConflicts"], 4);
    EXPECT_EQ(scan["menuConflicts"], 1);
    CliResult text = cli.run("scan");
    EXPECT_NE(text.out.find("Build-menu conflicts         1"), std::string::npos) << text.out;
}

TEST(CliCatalogue, TreeAndListSpeakTheDocumentedJson) {
    DemoCli cli;
    Json tree = cli.json("tree");
    ASSERT_GE(tree.size(), 5u);
    EXPECT_EQ(tree[0]["key"], "TA_HIERARCHY_NODE");
    EXPECT_TRUE(tree[0]["parent"].is_null());
    EXPECT_TRUE(tree[0]["selectedImage"].is_null());
    EXPECT_EQ(tree[1]["parent"], "TA_HIERARCHY_NODE");
    EXPECT_EQ(tree.back()["key"], "TA_GROUP_NODE");

    Json conflicts = cli.json("list --tab conflicts");
    ASSERT_EQ(conflicts.size(), 5u);
    EXPECT_TRUE(conflicts[4]["key"].is_null());
    EXPECT_EQ(conflicts[4]["icon"], 2);
    EXPECT_EQ(conflicts[4]["columns"]["Conflict description"],
              "ARMBOLT & NOVATANK are both trying to share menu 1 button 2 on unit ARMCOM");
    EXPECT_EQ(conflicts[3]["columns"]["HPI file"], "retro.xufo");
    EXPECT_EQ(conflicts[3]["icon"], 3);

    Json novas = cli.json("list --node NOVA");
    ASSERT_EQ(novas.size(), 2u);
    EXPECT_EQ(novas[0]["columns"]["Name"], "NOVACOM");
    EXPECT_EQ(cli.json("list --no-thirdparty --no-cavedog").size(), 0u);
    EXPECT_EQ(cli.json("list --tab available").size(), 256u - 7u);  // 3 and 7 are used twice
}

TEST(CliCatalogue, UnitShowsFieldsStateAndWeapons) {
    DemoCli cli;
    Json unit = cli.json("unit novatank");
    EXPECT_EQ(unit["key"], "NOVATANK9");
    EXPECT_EQ(unit["conflict"], -1);
    EXPECT_EQ(unit["weapons"][0], "#3 - NOVA_PULSE");
    EXPECT_EQ(cli.run("unit NOVATANK9").exitCode, 0);
    CliResult missing = cli.run("unit NOTHING");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no unit 'NOTHING'"), std::string::npos);
}

TEST(CliCatalogue, EnablingRenamesOnceAndNeverReplaces) {
    DemoCli cli;
    Json done = cli.json("disable --node NOVA");
    ASSERT_EQ(done["renamed"].size(), 1u);  // two units, one archive
    EXPECT_EQ(done["renamed"][0]["to"], cli.ta + "aurora.xufo");

    // A stray file of the target name makes the rename refuse; nothing is replaced.
    cli.root.write("ta/aurora.ufo", "someone else's file");
    CliResult refused = cli.run("enable --unit NOVATANK");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("refused aurora.xufo"), std::string::npos) << refused.out;
    EXPECT_TRUE(cli.root.exists("ta/aurora.xufo"));
    EXPECT_EQ(cli.root.read("ta/aurora.ufo").size(), 19u);
}

TEST(CliCatalogue, SchemasRoundTrip) {
    DemoCli cli;
    std::string schema = cli.scratch.file("state.uls");
    ASSERT_EQ(cli.run("schema export " + Quoted(schema)).exitCode, 0);
    ASSERT_EQ(cli.run("disable --unit ARMCOM").exitCode, 0);
    EXPECT_TRUE(cli.root.exists("ta/kloxbase.xhpi"));
    CliResult applied = cli.run("schema apply " + Quoted(schema));
    EXPECT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_NE(applied.out.find("The schema 'state.uls' has been applied to your TA directory."),
              std::string::npos);
    EXPECT_TRUE(cli.root.exists("ta/kloxbase.hpi"));
    EXPECT_EQ(cli.run("schema apply " + Quoted(cli.scratch.file("missing.uls"))).exitCode, 1);
}

TEST(CliCatalogue, GroupsAreEditedAndKept) {
    DemoCli cli;
    EXPECT_EQ(cli.run("groups add Nova").exitCode, 0);
    EXPECT_EQ(cli.run("groups add NOVA").exitCode, 0);  // already there: nothing added
    EXPECT_EQ(cli.run("groups add-keyword nova aurora").exitCode, 0);
    Json groups = cli.json("groups list");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0]["keywords"], Json::array({"aurora"}));
    EXPECT_EQ(cli.json("list --node Nova").size(), 2u);
    EXPECT_EQ(cli.run("groups delete-keyword Nova missing").exitCode, 1);
    EXPECT_EQ(cli.run("groups add").exitCode, 2);
}

TEST(CliCatalogue, SavedListsSpeedUpTheNextScan) {
    DemoCli cli;
    ASSERT_EQ(cli.run("udf save --unit ARMCOM " + Quoted(cli.home + "base.udf")).exitCode, 0);
    cli.root.write("ta/kloxbase.hpi", "the list covers this archive, so it is never opened");
    Json scan = cli.json("scan");
    EXPECT_EQ(scan["units"], 10);
}

TEST(CliCatalogue, ScansKeepTheirCacheUnlessToldNot) {
    DemoCli cli;
    std::string cache = cli.home + "scancache.dat";
    ASSERT_EQ(cli.run("scan --no-cache").exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(cache)));
    Json cold = cli.json("list --tab conflicts");
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(cache)));
    EXPECT_EQ(cli.json("list --tab conflicts"), cold);
    std::filesystem::remove(PathFromUtf8(cache));
    CliResult off =
        RunCli(cli.scratch, "--ta " + Quoted(cli.ta) + " --home " + Quoted(cli.home) + " scan",
               {{"KLOXMERE_NO_SCAN_CACHE", "1"}});
    EXPECT_EQ(off.exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(cache)));
}

TEST(CliCatalogue, NoTaDirectoryIsAFailureWithAHint) {
    TempDir scratch, wine;
    CliResult result = RunCli(scratch, "--home " + Quoted(scratch.str()) + " scan",
                              {{"KLOXMERE_TA_DIR", std::nullopt}, {"WINEPREFIX", wine.str()}});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("--ta"), std::string::npos);
}

TEST(CliCatalogue, NamesOutsideWindows1252PassTheCommandLine) {
    // Cyrillic and CJK together: no ANSI code page holds both.
    TempDir root, scratch;
    std::string ta = root.str() + "\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0 \xE6\x97\xA5\xE6\x9C\xAC" +
                     NativeSeparator();  // "Игра 日本"
    WriteDemoInstallation(ta);
    std::string aurora = "\xE6\xA5\xB5\xE5\x85\x89";  // 極光
    std::filesystem::rename(PathFromUtf8(ta + "aurora.ufo"), PathFromUtf8(ta + aurora + ".ufo"));

    CliResult disabled = RunCli(scratch, "--ta " + Quoted(ta) + " --home " + Quoted(root.str()) +
                                             " --json disable --node NOVA");
    ASSERT_EQ(disabled.exitCode, 0) << disabled.err;
    EXPECT_EQ(Json::parse(disabled.out)["renamed"][0]["to"], ta + aurora + ".xufo");
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(ta + aurora + ".xufo")));

    CliResult listed = RunCli(scratch, "hpi list " + Quoted(ta + aurora + ".xufo"));
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("NOVATANK"), std::string::npos) << listed.out;
}

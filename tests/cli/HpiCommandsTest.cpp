#include "cli/HpiCommands.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::cli;
using kloxmere::test::Quoted;
using kloxmere::test::RunCli;
using kloxmere::test::TempDir;

namespace {

std::string text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// rev.hpi: readme.txt (stored) and units\ARMCOM.FBI (zlib).
void writeArchive(const TempDir& dir) {
    HpiWriter writer;
    std::string_view unit = "[UNITINFO] { Name=Commander; }";
    writer.addFile("units\\ARMCOM.FBI", {unit.begin(), unit.end()});
    writer.addFile("readme.txt", {'h', 'e', 'l', 'l', 'o'}, {HpiCompression::Stored, false});
    writer.write(dir.path() / "rev.hpi");
}

TEST(HpiCommands, ListPrintsEveryFileInDirectoryOrder) {
    TempDir dir;
    writeArchive(dir);
    std::ostringstream out, json;
    ListArchive(dir.file("rev.hpi"), false, out);
    EXPECT_EQ(out.str(), "readme.txt\t5\tstored\nunits\\ARMCOM.FBI\t30\tzlib\n");
    ListArchive(dir.file("rev.hpi"), true, json);
    EXPECT_EQ(nlohmann::json::parse(json.str()),
              nlohmann::json::parse(R"([{"path": "readme.txt", "size": 5, "compression": "stored"},
                  {"path": "units\\ARMCOM.FBI", "size": 30, "compression": "zlib"}])"));
}

TEST(HpiCommands, PackedTreeListsAndExtractsBack) {
    TempDir dir;
    dir.write("mod/units/ARMFOO.FBI", "[UNITINFO]");
    dir.write("mod/units/sub/deep.txt", "deep");
    dir.write("mod/Palette.dat", std::string(100000, 'p'));
    EXPECT_EQ(PackDirectory(dir.file("mod.ufo"), dir.file("mod")), 3u);
    std::vector<std::string> paths;
    for (const auto& file : HpiArchive::open(dir.path() / "mod.ufo")->listFiles()) {
        paths.push_back(file.path);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"Palette.dat", "units\\ARMFOO.FBI",
                                               "units\\sub\\deep.txt"}));
    ExtractFromArchive(dir.file("mod.ufo"), "UNITS/Sub/DEEP.TXT", dir.file("deep.txt"));
    EXPECT_EQ(text(dir.read("deep.txt")), "deep");

    // Packed into the tree itself, the archive leaves its old self out.
    std::filesystem::rename(dir.path() / "mod.ufo", dir.path() / "mod" / "mod.ufo");
    EXPECT_EQ(PackDirectory(dir.file("mod/mod.ufo"), dir.file("mod")), 3u);

    // A name the archive's code page cannot hold fails before anything is written.
    dir.write("snow/\xE2\x98\x83.txt", "x");
    EXPECT_THROW(PackDirectory(dir.file("snow.ufo"), dir.file("snow")), HpiError);
    EXPECT_FALSE(dir.exists("snow.ufo"));
}

TEST(KloxmereCli, HpiExitCodesTellSuccessFailureAndUsage) {
    TempDir dir;
    writeArchive(dir);
    std::string archive = Quoted(dir.file("rev.hpi"));
    EXPECT_EQ(RunCli(dir, "hpi list " + archive + " --json").exitCode, 0);
    EXPECT_EQ(RunCli(dir, "hpi extract " + archive + " " + Quoted("units\\armcom.fbi") + " " +
                              Quoted(dir.file("x.fbi")))
                  .exitCode,
              0);
    EXPECT_TRUE(dir.exists("x.fbi"));

    // Bad input: one line on stderr, and no file where extraction failed.
    auto damaged = dir.read("rev.hpi");
    damaged[damaged.size() - 37] ^= 0x55;  // the last payload byte before the trailer
    dir.write("damaged.hpi", damaged);
    dir.write("tree/a.txt", "a");
    std::string none = Quoted(dir.file("none"));
    for (const std::string& failing :
         {"hpi list " + Quoted(dir.file("missing.hpi")), "hpi list " + Quoted(dir.str()),
          "hpi extract " + archive + " units/none " + none,
          "hpi extract " + archive + " units " + none,
          "hpi extract " + Quoted(dir.file("damaged.hpi")) + " units/armcom.fbi " + none,
          "hpi extract " + archive + " readme.txt " + Quoted(dir.str()),
          "hpi pack " + none + " " + Quoted(dir.file("nowhere")),
          "hpi pack " + Quoted(dir.str()) + " " + Quoted(dir.file("tree"))}) {
        auto run = RunCli(dir, failing);
        EXPECT_EQ(run.exitCode, 1) << failing;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << failing;
        EXPECT_FALSE(dir.exists("none")) << failing;
    }

    for (const char* usage : {"hpi", "hpi frobnicate", "hpi list", "hpi extract a.hpi",
                              "hpi list a b c", "hpi list --no-such-option a.hpi"}) {
        EXPECT_EQ(RunCli(dir, usage).exitCode, 2) << usage;
    }
}

}  // namespace

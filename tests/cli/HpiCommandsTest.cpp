#include "cli/HpiCommands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include <sys/wait.h>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::cli;
using kloxmere::test::TempDir;

namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

// rev.hpi: readme.txt (stored) and units\ARMCOM.FBI (zlib).
void writeArchive(const TempDir& dir) {
    HpiWriter writer;
    writer.addFile("units\\ARMCOM.FBI", bytesOf("[UNITINFO] { Name=Commander; }"));
    writer.addFile("readme.txt", bytesOf("hello"), {HpiCompression::Stored, false});
    writer.write(dir.path() / "rev.hpi");
}

std::string text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(HpiList, PrintsEveryFileInDirectoryOrder) {
    TempDir dir;
    writeArchive(dir);
    std::ostringstream out;
    ListArchive(dir.file("rev.hpi"), false, out);
    EXPECT_EQ(out.str(), "readme.txt\t5\tstored\nunits\\ARMCOM.FBI\t30\tzlib\n");

    std::ostringstream json;
    ListArchive(dir.file("rev.hpi"), true, json);
    auto parsed = nlohmann::json::parse(json.str());
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[1]["path"], "units\\ARMCOM.FBI");
    EXPECT_EQ(parsed[1]["size"], 30);
    EXPECT_EQ(parsed[1]["compression"], "zlib");
    EXPECT_EQ(parsed[0]["compression"], "stored");
}

TEST(HpiExtract, WritesTheWholeFileOrNoFile) {
    TempDir dir;
    writeArchive(dir);
    ExtractFromArchive(dir.file("rev.hpi"), "UNITS/armcom.fbi", dir.file("out.fbi"));
    EXPECT_EQ(text(dir.read("out.fbi")), "[UNITINFO] { Name=Commander; }");

    EXPECT_ANY_THROW(ExtractFromArchive(dir.file("rev.hpi"), "units\\none.fbi", dir.file("a")));
    EXPECT_ANY_THROW(ExtractFromArchive(dir.file("rev.hpi"), "units", dir.file("a")));
    EXPECT_ANY_THROW(ExtractFromArchive(dir.file("gone.hpi"), "readme.txt", dir.file("a")));
    EXPECT_FALSE(dir.exists("a"));

    // A damaged chunk: the last payload byte of the last file's data.
    auto bytes = dir.read("rev.hpi");
    bytes[bytes.size() - 37] ^= 0x55;
    dir.write("damaged.hpi", bytes);
    EXPECT_THROW(ExtractFromArchive(dir.file("damaged.hpi"), "units\\ARMCOM.FBI", dir.file("a")),
                 HpiError);
    EXPECT_FALSE(dir.exists("a"));

    // A directory where the destination file should go.
    std::filesystem::create_directory(dir.path() / "d");
    EXPECT_ANY_THROW(ExtractFromArchive(dir.file("rev.hpi"), "readme.txt", dir.file("d")));
}

TEST(HpiPack, PacksATreeThatListsAndExtractsBack) {
    TempDir dir;
    dir.write("mod/units/ARMFOO.FBI", "[UNITINFO]");
    dir.write("mod/units/sub/deep.txt", "deep");
    dir.write("mod/Palette.dat", std::string(100000, 'p'));
    EXPECT_EQ(PackDirectory(dir.file("mod.ufo"), dir.file("mod")), 3u);

    auto archive = HpiArchive::open(dir.path() / "mod.ufo");
    std::vector<std::string> paths;
    for (const auto& file : archive->listFiles()) paths.push_back(file.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"Palette.dat", "units\\ARMFOO.FBI",
                                               "units\\sub\\deep.txt"}));
    EXPECT_EQ(text(archive->extract("units\\sub\\deep.txt")), "deep");
    EXPECT_EQ(archive->extract("palette.dat").size(), 100000u);

    // Packed again into the tree itself, the archive leaves its old self out.
    std::filesystem::rename(dir.path() / "mod.ufo", dir.path() / "mod" / "mod.ufo");
    EXPECT_EQ(PackDirectory(dir.file("mod/mod.ufo"), dir.file("mod")), 3u);
}

TEST(HpiPack, UnusableSourceOrTargetFailsWithoutWriting) {
    TempDir dir;
    EXPECT_ANY_THROW(PackDirectory(dir.file("a.ufo"), dir.file("missing")));
    dir.write("file.txt", "x");
    EXPECT_ANY_THROW(PackDirectory(dir.file("a.ufo"), dir.file("file.txt")));
    dir.write("snow/\xE2\x98\x83.txt", "no Windows-1252 name");
    EXPECT_THROW(PackDirectory(dir.file("a.ufo"), dir.file("snow")), HpiError);
    EXPECT_FALSE(dir.exists("a.ufo"));
    std::filesystem::create_directory(dir.path() / "out.ufo");
    EXPECT_ANY_THROW(PackDirectory(dir.file("out.ufo"), dir.file("snow")));
}

// The built program: exit codes and one-line messages.
struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

CliRun runCli(const TempDir& dir, const std::string& arguments) {
    std::string outFile = dir.file("stdout.txt"), errFile = dir.file("stderr.txt");
    std::string command = std::string("'") + KLOXMERE_CLI + "' " + arguments + " >'" + outFile +
                          "' 2>'" + errFile + "'";
    int status = std::system(command.c_str());
    auto slurp = [](const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    return {WEXITSTATUS(status), slurp(outFile), slurp(errFile)};
}

TEST(KloxmereCli, ExitCodesTellSuccessFailureAndUsage) {
    TempDir dir;
    writeArchive(dir);
    std::string archive = "'" + dir.file("rev.hpi") + "'";

    CliRun list = runCli(dir, "hpi list " + archive + " --json");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(list.out).size(), 2u);

    CliRun extracted =
        runCli(dir, "hpi extract " + archive + " 'units\\armcom.fbi' '" + dir.file("x.fbi") + "'");
    EXPECT_EQ(extracted.exitCode, 0);
    EXPECT_TRUE(dir.exists("x.fbi"));

    for (const std::string& failing :
         {"hpi list '" + dir.file("missing.hpi") + "'", "hpi list '" + dir.str() + "'",
          "hpi extract " + archive + " units/none '" + dir.file("none") + "'",
          "hpi extract " + archive + " units '" + dir.file("none") + "'",
          "hpi pack '" + dir.file("p.ufo") + "' '" + dir.file("nowhere") + "'"}) {
        SCOPED_TRACE(failing);
        CliRun run = runCli(dir, failing);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
        EXPECT_FALSE(dir.exists("none"));
    }

    for (const char* usage : {"", "hpi", "hpi frobnicate", "hpi list", "hpi extract a.hpi",
                              "hpi list a b c", "--no-such-option"}) {
        SCOPED_TRACE(usage);
        EXPECT_EQ(runCli(dir, usage).exitCode, 2);
    }
    EXPECT_EQ(runCli(dir, "--help").exitCode, 0);
}

}  // namespace

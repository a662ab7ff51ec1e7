// kloxmere-cli viewer-export end to end, on the demo installation.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/DemoInstallation.h"
#include "archive/HpiArchive.h"
#include "base/FileSystem.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
using Json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

struct ViewerCli {
    TempDir root, scratch;
    std::string ta = root.str() + "ta/";
    std::string viewer = root.str() + "viewer/View.exe";

    ViewerCli() {
        WriteDemoInstallation(ta);
        fs::create_directories(root.path() / "viewer");
        fs::create_directories(root.path() / "home");
        root.write("viewer/View.exe", "MZ");
    }
    CliResult run(const std::string& arguments,
                  const std::vector<EnvChange>& environment = {}) const {
        return RunCli(
            scratch,
            "--ta " + Quoted(ta) + " --home " + Quoted(root.str() + "home") + " " + arguments,
            environment);
    }
};

}  // namespace

TEST(CliViewer, WritesBothArchivesWithoutStartingTheViewer) {
    ViewerCli cli;
    CliResult result =
        cli.run("--json viewer-export --unit ARMCOM --no-launch --viewer " + Quoted(cli.viewer));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    Json answer = Json::parse(result.out);
    EXPECT_EQ(answer["viewerStarted"], false);
    ASSERT_EQ(answer["archives"].size(), 2u);
    auto cor = HpiArchive::open(PathFromUtf8(answer["archives"][1].get<std::string>()));
    EXPECT_TRUE(cor->findFile("objects3d\\corKLOX.3do"));
    EXPECT_TRUE(cor->findFile("units\\corKLOX.fbi"));
    EXPECT_TRUE(fs::exists(cli.root.path() / "viewer" / "arm_klox.ufo"));
}

#ifndef _WIN32  // the fake wine is a shell script
TEST(CliViewer, StartsTheViewerUnderWineInItsDirectory) {
    ViewerCli cli;
    fs::create_directories(cli.root.path() / "bin");
    const std::string record = cli.root.file("record");
    cli.root.write("bin/wine", "#!/bin/sh\npwd > '" + record + "'\necho \"$1\" >> '" + record +
                                   "'\n: > '" + record + ".done'\n");
    ::chmod(cli.root.file("bin/wine").c_str(), 0755);
    CliResult result = cli.run("viewer-export --unit ARMCOM --viewer " + Quoted(cli.viewer),
                               {{"PATH", cli.root.file("bin") + ":/usr/bin:/bin"}});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (int i = 0; i < 3000 && !fs::exists(record + ".done"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::vector<std::uint8_t> lines = cli.root.read("record");
    EXPECT_EQ(std::string(lines.begin(), lines.end()),
              cli.root.file("viewer") + "\n" + cli.viewer + "\n");
}

#endif

TEST(CliViewer, AMissingViewerOrUnitFails) {
    ViewerCli cli;
    EXPECT_EQ(cli.run("viewer-export --unit ARMCOM --viewer " + Quoted(cli.root.file("none.exe")))
                  .exitCode,
              1);
    EXPECT_EQ(
        cli.run("viewer-export --unit NOSUCH --no-launch --viewer " + Quoted(cli.viewer)).exitCode,
        1);
    EXPECT_EQ(cli.run("viewer-export --viewer " + Quoted(cli.viewer)).exitCode, 2);
    EXPECT_FALSE(fs::exists(cli.root.path() / "viewer" / "arm_klox.ufo"));
}

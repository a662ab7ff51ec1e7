// kloxmere-cli installations, and the TA directory a command finds through
// the launchers' places when nothing names it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "app/DemoInstallation.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/LauncherHomes.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
namespace fs = std::filesystem;

namespace {

void writeFake(const TempDir& temp, const std::string& name) {
    temp.write("bin/" + name, "#!/bin/sh\nexit 0\n");
    ::chmod(temp.file("bin/" + name).c_str(), 0755);
}

std::vector<EnvChange> launcherEnvironment(const TempDir& temp, const std::string& home) {
    // Removals first: env takes its options before the assignments.
    return {{"KLOXMERE_TA_DIR", std::nullopt},
            {"HOME", home},
            {"PATH", temp.file("bin")},
            {"WINEPREFIX", temp.str() + "no-registry"}};
}

}  // namespace

TEST(CliInstallations, EachInstallationWithHowItWouldStart) {
    TempDir temp, scratch;
    LauncherHomes homes(temp.path());
    writeFake(temp, "steam");
    writeFake(temp, "wine");
    CliResult result =
        RunCli(scratch, "installations --json", launcherEnvironment(temp, homes.home.string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const nlohmann::json found = nlohmann::json::parse(result.out);
    ASSERT_EQ(found.size(), 8u);

    const nlohmann::json& steam = found[0];
    EXPECT_EQ(steam["directory"], homes.steam);
    EXPECT_EQ(steam["archives"], 2);
    EXPECT_EQ(steam["source"], "steam");
    EXPECT_EQ(steam["launch"], nlohmann::json::parse(R"({"program": ")" + temp.file("bin/steam") +
                                                     R"(", "arguments": ["-applaunch", "298030"], )"
                                                     R"("environment": {}, "workingDirectory": ")" +
                                                     homes.steam + R"(/"})"));
    const nlohmann::json& lutris = found[5];
    EXPECT_EQ(lutris["source"], "lutris");
    EXPECT_EQ(lutris["launch"]["program"], temp.file("bin/wine"));
    EXPECT_EQ(lutris["launch"]["arguments"], nlohmann::json::array({homes.lutris + "/TOTALA.EXE"}));
    EXPECT_EQ(lutris["launch"]["environment"]["WINEPREFIX"],
              fs::canonical(homes.lutrisPrefix).string());
    EXPECT_EQ(lutris["launch"]["workingDirectory"], homes.lutris + "/");

    CliResult text =
        RunCli(scratch, "installations", launcherEnvironment(temp, homes.home.string()));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("WINEPREFIX="), std::string::npos);

    CliResult none =
        RunCli(scratch, "installations --json", launcherEnvironment(temp, temp.str() + "empty"));
    ASSERT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(nlohmann::json::parse(none.out), nlohmann::json::array());
}

TEST(CliInstallations, ACommandUsesTheOneFoundAndRefusesToGuessAmongSeveral) {
    TempDir temp, scratch;
    const fs::path bottle = temp.path() / "home/.local/share/bottles/bottles/TA";
    WritePrefix(bottle);
    WriteDemoInstallation((bottle / "drive_c/TA/").string());
    temp.write("home/.local/share/bottles/bottles/TA/drive_c/TA/totala.exe", "MZ");
    const std::string game = fs::canonical(bottle / "drive_c/TA").string() + "/";

    CliResult one = RunCli(scratch, "--home " + Quoted(temp.str() + "data") + " --json paths",
                           launcherEnvironment(temp, temp.str() + "home"));
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(nlohmann::json::parse(one.out)["taDirectory"], game);

    WriteGame(temp.path() / "home/.wine/drive_c/TA");
    WritePrefix(temp.path() / "home/.wine");
    CliResult several = RunCli(scratch, "--home " + Quoted(temp.str() + "data") + " scan",
                               launcherEnvironment(temp, temp.str() + "home"));
    EXPECT_EQ(several.exitCode, 1);
    EXPECT_NE(several.err.find("Several TA installations were found: " +
                               game.substr(0, game.size() - 1) + " (bottles), "),
              std::string::npos)
        << several.err;
    EXPECT_NE(several.err.find("--ta"), std::string::npos);
}

// Starting the game and the unit viewer as the installation's launcher would,
// with fake steam, flatpak and wine programs recording how they were run.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/ProgramLauncher.h"
#include "tests/support/LauncherHomes.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
namespace fs = std::filesystem;

namespace {

// A program `name` in `bin` that writes its working directory, WINEPREFIX
// and arguments, one a line, to `record`, then makes `record`.done.
void writeRecorder(const fs::path& bin, const std::string& name, const fs::path& record) {
    fs::create_directories(bin);
    const fs::path script = bin / name;
    std::ofstream(script) << "#!/bin/sh\n{ pwd; echo \"WINEPREFIX=$WINEPREFIX\"; for a in \"$@\"; "
                             "do echo \"$a\"; done; } > '"
                          << record.string() << "'\n: > '" << record.string() << ".done'\n";
    ::chmod(script.c_str(), 0755);
}

std::vector<std::string> waitForLines(const fs::path& record) {
    for (int i = 0; i < 3000 && !fs::exists(record.string() + ".done"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(record);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct GameLaunchTest : ::testing::Test {
    TempDir temp;
    LauncherHomes homes{temp.path()};
    fs::path bin = temp.path() / "bin";

    LaunchRequest game(const std::string& directory, const std::string& exe = "totala.exe") {
        return {"open", directory + "/" + exe, "", directory + "/", directory + "/"};
    }
    LaunchCommand commandFor(const LaunchRequest& request) {
        return LaunchCommandFor(request, bin.string(), homes.home);
    }
};

}  // namespace

TEST_F(GameLaunchTest, SteamGamesStartThroughTheSteamThatOwnsTheirLibrary) {
    writeRecorder(bin, "steam", temp.path() / "unused");
    writeRecorder(bin, "flatpak", temp.path() / "unused");
    LaunchCommand steam = commandFor(game(homes.steam));
    EXPECT_EQ(steam.program, (bin / "steam").string());
    EXPECT_EQ(steam.arguments, (std::vector<std::string>{"-applaunch", "298030"}));
    EXPECT_TRUE(steam.environment.empty());

    LaunchCommand flatpak = commandFor(game(homes.flatpak));
    EXPECT_EQ(flatpak.program, (bin / "flatpak").string());
    EXPECT_EQ(flatpak.arguments,
              (std::vector<std::string>{"run", "com.valvesoftware.Steam", "-applaunch", "298030"}));

    // Without steam the Flatpak's is used; without either, steam is missing.
    fs::remove(bin / "steam");
    EXPECT_EQ(commandFor(game(homes.steam)).program, (bin / "flatpak").string());
    fs::remove(bin / "flatpak");
    LaunchCommand none = commandFor(game(homes.steam));
    EXPECT_TRUE(none.missing);
    EXPECT_EQ(none.program, "steam");
    EXPECT_NE(ProgramNeededMessage(none.program, "/ta/totala.exe")
                  .find("\"steam\" was not found on the PATH"),
              std::string::npos);
}

TEST_F(GameLaunchTest, GamesInAPrefixRunUnderWineInThatPrefix) {
    writeRecorder(bin, "wine", temp.path() / "unused");
    for (const auto& [directory, prefix] : {std::pair{homes.lutris, homes.lutrisPrefix},
                                            {homes.bottles, homes.bottlesPrefix},
                                            {homes.heroic, homes.heroicPrefix},
                                            {homes.wine, homes.winePrefix}}) {
        // The request's name in lower case finds TOTALA.EXE as Wine would.
        LaunchCommand command = commandFor(game(directory));
        EXPECT_EQ(command.program, (bin / "wine").string());
        ASSERT_EQ(command.arguments.size(), 1u);
        EXPECT_TRUE(fs::exists(command.arguments[0])) << command.arguments[0];
        EXPECT_EQ(command.environment, (std::vector<std::pair<std::string, std::string>>{
                                           {"WINEPREFIX", fs::canonical(prefix).string()}}));
        EXPECT_EQ(command.workingDirectory, directory + "/");
    }
    // The unit viewer inside the game's prefix runs there; outside it, as before.
    temp.write("home/.wine/drive_c/Viewer/view.exe", "MZ");
    LaunchRequest viewer{"open", homes.winePrefix.string() + "/drive_c/Viewer/view.exe", "", "",
                         homes.wine + "/"};
    EXPECT_EQ(commandFor(viewer).environment.size(), 1u);
    temp.write("outside/view.exe", "MZ");
    viewer.path = temp.file("outside/view.exe");
    EXPECT_TRUE(commandFor(viewer).environment.empty());
    // A Steam game's viewer lies in the game's Proton prefix.
    fs::create_directories(homes.library / "steamapps/compatdata/298030/pfx/drive_c/V");
    viewer = {"open", homes.library.string() + "/steamapps/compatdata/298030/pfx/drive_c/V/v.exe",
              "", "", homes.steam};
    ASSERT_EQ(commandFor(viewer).environment.size(), 1u);
    EXPECT_EQ(commandFor(viewer).environment[0].second,
              fs::canonical(homes.library / "steamapps/compatdata/298030/pfx").string());
}

TEST_F(GameLaunchTest, TheFakesRecordWhatEachLauncherWasGiven) {
    writeRecorder(bin, "wine", temp.path() / "wine.txt");
    writeRecorder(bin, "steam", temp.path() / "steam.txt");
    ScopedEnv path("PATH", bin.string());
    ScopedEnv home("HOME", homes.home.string());
    ScopedEnv prefix("WINEPREFIX", std::nullopt);
    RecordingServices services;

    EXPECT_TRUE(LaunchAndExplain(game(homes.lutris), services));
    EXPECT_EQ(waitForLines(temp.path() / "wine.txt"),
              (std::vector<std::string>{homes.lutris,
                                        "WINEPREFIX=" + fs::canonical(homes.lutrisPrefix).string(),
                                        homes.lutris + "/TOTALA.EXE"}));
    EXPECT_TRUE(LaunchAndExplain(game(homes.steam, "TotalA.exe"), services));
    EXPECT_EQ(waitForLines(temp.path() / "steam.txt"),
              (std::vector<std::string>{homes.steam, "WINEPREFIX=", "-applaunch", "298030"}));
    EXPECT_TRUE(services.messages.empty());

    // A launcher that cannot be run is reported in one message.
    temp.write("bin/steam", "not a program");
    EXPECT_FALSE(LaunchAndExplain(game(homes.steam, "TotalA.exe"), services));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text.find(homes.steam + "/TotalA.exe could not be started: "),
              0u);
    fs::remove(bin / "steam");
    EXPECT_FALSE(LaunchAndExplain(game(homes.steam, "TotalA.exe"), services));
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_NE(services.messages[1].text.find("Steam is needed"), std::string::npos);
}

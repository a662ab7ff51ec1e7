#include "app/InstallationDiscovery.h"

#include <gtest/gtest.h>

#include "app/LauncherFiles.h"
#include "tests/support/LauncherHomes.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::pair<std::string, std::string>> directoriesAndSources(
    const std::vector<FoundInstallation>& found) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& installation : found)
        pairs.emplace_back(installation.directory, installation.source);
    return pairs;
}

}  // namespace

TEST(InstallationDiscovery, EveryLaunchersPlaceIsFoundOnceAndDecoysAreNot) {
    TempDir temp;
    LauncherHomes homes(temp.path());
    const auto found = DiscoverInstallations({homes.home, {}});
    // Steam's libraries first (the one ~/.steam/steam links to listed once),
    // then Bottles, Heroic, Lutris and ~/.wine, whose registry names one game.
    EXPECT_EQ(directoriesAndSources(found), (std::vector<std::pair<std::string, std::string>>{
                                                {homes.steam, "steam"},
                                                {homes.compatdata, "compatdata"},
                                                {homes.flatpak, "flatpak"},
                                                {homes.bottles, "bottles"},
                                                {homes.heroic, "heroic"},
                                                {homes.lutris, "lutris"},
                                                {homes.registry, "registry"},
                                                {homes.wine, "wine"},
                                            }));
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].archives, 2u);  // totala1.hpi and rev31.ccx
}

TEST(InstallationDiscovery, ADirectoryReachedFirstThroughALinkIsStillLookedThroughInFull) {
    TempDir temp;
    const fs::path home = temp.path() / "home";
    WriteGame(home / "Games/deep/TA");
    // Steam's places are looked at first, and look one level less deep.
    fs::create_directories(home / ".local/share/Steam/steamapps/common");
    fs::create_directory_symlink(home / "Games/deep",
                                 home / ".local/share/Steam/steamapps/common/Linked");
    const auto found = DiscoverInstallations({home, {}});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].directory, fs::canonical(home / "Games/deep/TA").string());
    EXPECT_EQ(found[0].source, "lutris");
}

TEST(InstallationDiscovery, WinePrefixFromTheEnvironmentAndNothingWithoutAHome) {
    TempDir temp;
    WritePrefix(temp.path() / "elsewhere");
    WriteGame(temp.path() / "elsewhere/drive_c/TA", "totala.exe", "totala1.hpi");
    const auto found = DiscoverInstallations({{}, temp.path() / "elsewhere"});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].source, "wine");
    EXPECT_EQ(found[0].archives, 1u);
    EXPECT_TRUE(DiscoverInstallations({temp.path() / "no home", {}}).empty());
}

TEST(InstallationDiscovery, PrefixesAndSteamGamesAreRecognisedFromBelow) {
    TempDir temp;
    LauncherHomes homes(temp.path());
    EXPECT_EQ(EnclosingWinePrefix(homes.lutris), fs::canonical(homes.lutrisPrefix));
    EXPECT_EQ(EnclosingWinePrefix(homes.steam), std::nullopt);

    auto steam = SteamGameOf(homes.steam, homes.home);
    ASSERT_TRUE(steam);
    EXPECT_EQ(steam->appId, "298030");
    EXPECT_FALSE(steam->flatpak);
    EXPECT_EQ(steam->protonPrefix(),
              fs::canonical(homes.library) / "steamapps/compatdata/298030/pfx");
    auto flatpak = SteamGameOf(homes.flatpak + "/sub", homes.home);
    ASSERT_TRUE(flatpak);
    EXPECT_TRUE(flatpak->flatpak);
    // A directory of steamapps/common that no manifest names is not a Steam game.
    EXPECT_FALSE(
        SteamGameOf(homes.home / ".local/share/Steam/steamapps/common/Other Game", homes.home));
}

TEST(LauncherFiles, SteamLibrariesInBothLayoutsAndCutOffFiles) {
    EXPECT_EQ(SteamLibraryPaths("\"libraryfolders\" { \"0\" { \"path\" \"/a b\" \"label\" \"\" "
                                "\"apps\" { \"10\" \"5\" } } \"1\" { \"path\" \"/c\\\\d\" } }"),
              (std::vector<std::string>{"/a b", "/c\\d"}));
    // The older layout: numbered keys with the path as their value.
    EXPECT_EQ(SteamLibraryPaths("\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n"
                                "\t\"1\"\t\"/mnt/games\"\n}\n"),
              (std::vector<std::string>{"/mnt/games"}));
    EXPECT_EQ(
        SteamLibraryPaths("\"libraryfolders\" { \"0\" { \"path\" \"/x\" } \"1\" { \"path\" \"/y"),
        (std::vector<std::string>{"/x"}));
    EXPECT_TRUE(SteamLibraryPaths("").empty());

    auto manifest = ParseSteamAppManifest(
        "// comment\n\"AppState\" { \"appid\" \"298030\" \"UserConfig\" { \"installdir\" \"no\" } "
        "\"installdir\" \"Total Annihilation\" }");
    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->appId, "298030");
    EXPECT_EQ(manifest->installDir, "Total Annihilation");
    EXPECT_FALSE(ParseSteamAppManifest("\"AppState\" { \"appid\" \"x1\" \"installdir\" \"a\" }"));
    EXPECT_FALSE(ParseSteamAppManifest("\"AppState\" { \"appid\" \"1\" "));
}

TEST(LauncherFiles, LutrisAndHeroicPrefixes) {
    EXPECT_EQ(LutrisGameDirectories("game:\n  exe: \"/p/drive_c/TA/totala.exe\"\n"
                                    "  prefix: /p # the bottle\nrunner: wine\n"),
              (std::vector<std::string>{"/p", "/p/drive_c/TA"}));
    EXPECT_EQ(LutrisGameDirectories("game:\n  exe: drive_c/TA/totala.exe\n  prefix: '/p'\n"),
              (std::vector<std::string>{"/p", "/p/drive_c/TA"}));
    // Relative paths with nothing to be relative to are of no use.
    EXPECT_TRUE(LutrisGameDirectories("game:\n  exe: totala.exe\n  prefix: games\n").empty());

    EXPECT_EQ(HeroicWinePrefixes("{\"a\": {\"winePrefix\" : \"/h\\/p \\u00e9\\\"q\"}, "
                                 "\"b\": {\"winePrefix\": 3, \"x\": {\"winePrefix\": \"/r\"}}}"),
              (std::vector<std::string>{"/h/p \xc3\xa9\"q", "/r"}));
    EXPECT_TRUE(HeroicWinePrefixes("{\"winePrefix\": \"/cut\\u00").empty());
}

TEST(LauncherFiles, OnlySmallRegularFilesAreRead) {
    TempDir temp;
    LauncherHomes homes(temp.path());
    EXPECT_FALSE(ReadSmallTextFile(homes.home / ".config/lutris/games/pipe.yml"));
    EXPECT_FALSE(ReadSmallTextFile(homes.home / ".config"));
    EXPECT_FALSE(ReadSmallTextFile(homes.home / "missing"));
    temp.write("big", std::string(100, 'x'));
    EXPECT_FALSE(ReadSmallTextFile(temp.path() / "big", 99));
    EXPECT_EQ(ReadSmallTextFile(temp.path() / "big", 100), std::string(100, 'x'));
}

#pragma once

// Homes laid out as the game launchers of Linux leave them, for the tests of
// installation discovery and launching.

#include <filesystem>
#include <string>

namespace kloxmere::test {

// A game directory: `exe` (a stand-in, not a real program) and `archive`.
void WriteGame(const std::filesystem::path& directory, const std::string& exe = "totala.exe",
               const std::string& archive = "totala1.hpi");

// An empty Wine prefix: system.reg (with `systemReg` as its text) and drive_c.
void WritePrefix(const std::filesystem::path& prefix,
                 const std::string& systemReg = "WINE REGISTRY Version 2\n");

// Every launcher's layout under `root`: home/ is the home directory, lib/
// a second Steam library, prefixes/ the prefixes Lutris and Heroic name.
// Each game is found by one launcher's place; decoys beside them (a game
// without archives, a game too deep in drive_c, symbolic-link loops, an
// unreadable directory, a named pipe and damaged files where the launchers
// keep their configuration) must find nothing and stop nothing.
struct LauncherHomes {
    explicit LauncherHomes(const std::filesystem::path& root);
    ~LauncherHomes();
    LauncherHomes(const LauncherHomes&) = delete;
    LauncherHomes& operator=(const LauncherHomes&) = delete;

    std::filesystem::path home, library;
    // The installations, as real paths.
    std::string steam, flatpak, compatdata, lutris, bottles, heroic, wine, registry;
    std::filesystem::path lutrisPrefix, bottlesPrefix, heroicPrefix, winePrefix;
    // Whether ~/Games/locked (holding a game) really cannot be read: for root
    // it can, and it is then left empty.
    bool unreadable = true;
};

}  // namespace kloxmere::test

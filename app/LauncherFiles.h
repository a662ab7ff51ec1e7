#pragma once

// Reading the files in which the game launchers of Linux record their
// libraries, games and Wine prefixes. Each reader takes the file's text and
// keeps only what it needs; a damaged or truncated file yields what could be
// read before the damage, never an error.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

// The library directories a Steam libraryfolders.vdf lists: each "path" value
// (the current layout) or each numbered key's string value (the older one).
std::vector<std::string> SteamLibraryPaths(std::string_view vdf);

// What an appmanifest_*.acf says of one game.
struct SteamAppManifest {
    std::string appId;
    std::string installDir;  // the game's directory name under steamapps/common
};

// nullopt when the manifest names no appid or no installdir.
std::optional<SteamAppManifest> ParseSteamAppManifest(std::string_view acf);

// The directories a Lutris game file (games/*.yml) names: its "prefix" and the
// directory of its "exe", when they are absolute paths.
std::vector<std::string> LutrisGameDirectories(std::string_view yml);

// Every "winePrefix" string of a Heroic game configuration (GamesConfig/*.json).
std::vector<std::string> HeroicWinePrefixes(std::string_view json);

// The text of a regular file of at most `limit` bytes; nullopt for anything
// else (missing, unreadable, a directory, a pipe, too large).
std::optional<std::string> ReadSmallTextFile(const std::filesystem::path& path,
                                             std::uintmax_t limit = 1 << 20);

}  // namespace kloxmere

#pragma once

// Finds the game where Linux players keep it: in the Steam libraries (also
// those of the Flatpak Steam, and the Proton prefixes under compatdata), in
// the Wine prefixes of Lutris, Bottles and Heroic, and in $WINEPREFIX and
// ~/.wine. The look is bounded: only the launchers' own places are listed,
// a prefix's drive_c to a depth of four, never the whole home. On Windows
// nothing is looked for: the registry names the game there.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kloxmere {

// One installation: a directory holding totala.exe and at least one *.hpi
// (names in any case).
struct FoundInstallation {
    std::string directory;     // the real path, without a trailing separator
    std::size_t archives = 0;  // the archives a scan would catalogue
    std::string source;        // what found it: steam, flatpak, compatdata,
                               // lutris, bottles, heroic, wine or registry
    bool operator==(const FoundInstallation&) const = default;
};

// Where to look: the home directory and $WINEPREFIX (either may be empty).
struct DiscoveryPlaces {
    std::filesystem::path home;
    std::filesystem::path winePrefix;
};

// $HOME and $WINEPREFIX.
DiscoveryPlaces DiscoveryPlacesFromEnvironment();

// Every installation found, each once (by real path), in the order the places
// are looked at: Steam, Bottles, Heroic, Lutris, then the Wine prefixes.
// Missing, unreadable or damaged places are passed over.
std::vector<FoundInstallation> DiscoverInstallations(const DiscoveryPlaces& places);

// The installations of this user's places; none on Windows.
std::vector<FoundInstallation> DiscoverInstallations();

// Whether `directory` holds totala.exe and at least one *.hpi.
bool IsInstallationDirectory(const std::filesystem::path& directory);

// The Wine prefix `directory` lies in: the nearest directory at or above it
// holding a system.reg file and a drive_c directory.
std::optional<std::filesystem::path> EnclosingWinePrefix(const std::filesystem::path& directory);

// A game installed by Steam.
struct SteamGame {
    std::string appId;
    std::filesystem::path library;  // the library holding steamapps/
    bool flatpak = false;           // the library belongs to the Flatpak Steam
    // The game's Proton prefix: steamapps/compatdata/ID/pfx of its library.
    std::filesystem::path protonPrefix() const;
};

// The Steam game installed in `directory`: `directory` is
// LIBRARY/steamapps/common/NAME (or lies below it) and one of the library's
// steamapps/appmanifest_*.acf names NAME as its installdir. `home` locates
// the Flatpak Steam, whose libraries it marks.
std::optional<SteamGame> SteamGameOf(const std::filesystem::path& directory,
                                     const std::filesystem::path& home);

}  // namespace kloxmere

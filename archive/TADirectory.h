#pragma once

// Finds the game's installation directory. KLOXMERE_TA_DIR overrides
// everything. On Windows the directory comes from the registry entries the
// game's installers write (the original installer's uninstall key "Dir", its
// 32-bit view under Wow6432Node, the GOG key "PATH", the Steam uninstall key
// "InstallLocation"), each in the 64-bit and then the 32-bit registry view;
// elsewhere from the same keys in the Wine prefix's
// system.reg ($WINEPREFIX, else ~/.wine), with the Windows path mapped into
// the prefix.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

// The directory with a trailing native separator, or "" when none of the
// places names an existing directory.
std::string FindTADirectory();

// The Windows paths that a Wine prefix's system.reg (the HKEY_LOCAL_MACHINE
// hive) records for the game, in order of preference. Key and value names
// compare without regard to case; Wine's string escapes are decoded (\\, \",
// \n, \x hex and octal escapes) and the result is UTF-8.
std::vector<std::string> TAPathsFromSystemReg(std::string_view systemReg);

// The native path of the Windows path `windowsPath` ("C:\Games\TA") inside
// the Wine prefix: through the prefix's dosdevices/<letter>: link, or
// drive_c for C:. Components are matched without regard to case, as Wine
// does. Empty when the path names no drive the prefix knows.
std::filesystem::path MapWindowsPathIntoPrefix(const std::filesystem::path& prefix,
                                               std::string_view windowsPath);

// The first recorded directory of the prefix that exists, with a trailing
// separator; "" when there is none.
std::string TADirectoryFromWinePrefix(const std::filesystem::path& prefix);

}  // namespace kloxmere

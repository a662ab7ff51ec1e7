#pragma once

// Where the program's own files live (see the platform notes in README):
// the program directory holds what ships with the program; the user data
// directory holds unitgroups.dat and the fast-load lists read at start-up.

#include <string>

namespace kloxmere {

// The directory of the running executable, with a trailing separator.
std::string ExecutableDirectory();

// Where the program's shipped files live, with a trailing separator: for an
// installed program (a share/kloxmere directory beside its bin directory)
// that data directory; otherwise (the build tree, a portable copy) the
// executable's own directory.
std::string ProgramDirectory();

// True when the program runs from an installation (share/kloxmere found
// relative to the executable) rather than from its own portable directory.
bool IsInstalled();

// KLOXMERE_HOME when set; else, for a portable copy only, the executable's
// directory when it is writable; else the per-user data directory (on Linux
// $XDG_DATA_HOME/Kloxmere or ~/.local/share/Kloxmere). An installed program
// never writes into its installation, also when run as root. Always with a
// trailing separator; created when missing.
std::string UserDataDirectory();

// Where the window's settings are kept: on Linux the file
// $XDG_CONFIG_HOME/Kloxmere/Kloxmere.conf (~/.config when unset), on Windows
// the registry key HKEY_CURRENT_USER\Software\Kloxmere\Kloxmere.
std::string SettingsLocation();

}  // namespace kloxmere

#pragma once

// Where the program's own files live (see the platform notes in README):
// the program directory holds what ships with the program; the user data
// directory holds unitgroups.dat and the fast-load lists read at start-up.

#include <string>

namespace kloxmere {

// The directory of the running executable, with a trailing separator.
std::string ProgramDirectory();

// KLOXMERE_HOME when set; else the executable's directory when it is writable
// (a portable install); else the per-user data directory (on Linux
// $XDG_DATA_HOME/Kloxmere or ~/.local/share/Kloxmere). Always with a trailing
// separator; created when missing.
std::string UserDataDirectory();

}  // namespace kloxmere

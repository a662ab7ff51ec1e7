#pragma once

// kloxmere-cli paths: where Kloxmere keeps its files, so that a user can find
// unitgroups.dat and the fast-load lists and a test can check them.

#include <iosfwd>

namespace CLI {
class App;
}

namespace kloxmere::cli {

class CliRun;

void RegisterInformationCommands(CLI::App& app);

// Prints the program directory, the user data directory, the unit groups
// file, the settings and the TA directory a command would use (null or
// "(not found)" when there is none; nothing is asked).
void PathsCommand(CliRun& run, bool json, std::ostream& out);

}  // namespace kloxmere::cli

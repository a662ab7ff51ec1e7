#pragma once

// kloxmere-cli installations: the TA installations found in the places where
// the game launchers of Linux keep games and Wine prefixes, and how each
// would be started.

#include <iosfwd>
#include <vector>

#include "app/InstallationDiscovery.h"

namespace CLI {
class App;
}

namespace kloxmere::cli {

void RegisterInstallationCommands(CLI::App& app);

// Prints each installation: its directory, archive count, what found it and
// the command that would start it.
void InstallationsCommand(const std::vector<FoundInstallation>& found, bool json,
                          std::ostream& out);

}  // namespace kloxmere::cli

#pragma once

// kloxmere-cli scan | tree | list | unit: the catalogue of a TA directory
// from the command line. Each command is a plain function as well, for tests.

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace kloxmere {
class Catalogue;
class clsUnit;
}  // namespace kloxmere

namespace kloxmere::cli {

class CliRun;

void RegisterCatalogueCommands(CLI::App& app);

// Scans and prints the counts and the time taken.
void ScanCommand(CliRun& run, bool json, std::ostream& out);
// Scans and prints the tree's nodes in tree order.
void TreeCommand(CliRun& run, bool json, std::ostream& out);

struct ListRequest {
    std::string tab = "units";  // units, conflicts, weapons or available
    std::string node;           // a tree node's key; the units root when empty
    bool showCavedog = true;
    bool showThirdParty = true;
    std::string filter;  // keeps the rows with this text in a column; all when empty
};
// Scans and prints the rows of a tab for a tree node.
void ListCommand(CliRun& run, const ListRequest& request, bool json, std::ostream& out);
// Scans and prints one unit: its fields, state, conflicts and weapons.
void UnitCommand(CliRun& run, const std::string& key, bool json, std::ostream& out);

// The unit of UnitList under `key`, or the only unit of that Name (both
// without regard to case); CommandError otherwise.
clsUnit& FindUnit(Catalogue& catalogue, const std::string& key);

// The CurrentTab value of a tab name; UsageError for an unknown one.
int TabIndex(const std::string& tab);

// Selects the tree node `key` (the units root when empty) in the session's
// view; CommandError when the tree has no such node.
void SelectNode(CliRun& run, const std::string& key);

}  // namespace kloxmere::cli

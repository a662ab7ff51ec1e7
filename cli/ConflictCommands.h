#pragma once

// kloxmere-cli conflicts | schema diff, and the partners part of `unit`: who
// each conflict is with, and what a schema would change, without renaming.

#include <iosfwd>
#include <nlohmann/json.hpp>
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

// Adds `conflicts` and `schema diff` (after the schema group is registered).
void RegisterConflictCommands(CLI::App& app);

// Scans and prints every weapon-number and build-menu conflict as a pair.
void ConflictsCommand(CliRun& run, bool json, std::ostream& out);
// Scans and prints what `schema import FILE` would change; CommandError when
// the schema cannot be read. Renames nothing.
void SchemaDiffCommand(CliRun& run, const std::string& path, bool json, std::ostream& out);

// Adds "conflicts" (the unit's partners) and "freeWeaponNumbers" (the three
// free numbers nearest each conflicting weapon's) to a unit's JSON.
void AddUnitPartners(const Catalogue& catalogue, const clsUnit& unit,
                     nlohmann::ordered_json& result);
// The same in words, one partner or weapon a line.
void PrintUnitPartners(const Catalogue& catalogue, const clsUnit& unit, std::ostream& out);

}  // namespace kloxmere::cli

#pragma once

// kloxmere-cli enable | disable | schema | udf: switching archives on and
// off, schemas, and fast-load lists from the command line.

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace kloxmere {
struct RenameReport;
}

namespace kloxmere::cli {

class CliRun;

void RegisterArchiveStateCommands(CLI::App& app);

struct EnableRequest {
    bool enable = true;
    std::string unit;           // the archive of this unit, or
    std::string node;           // the units this tree node selects
    std::string tab = "units";  // with --node: units or conflicts
};
// Renames the archives the request names; prints each rename done or refused.
// CommandError when any rename was refused.
void EnableCommand(CliRun& run, const EnableRequest& request, bool json, std::ostream& out);

void SchemaExportCommand(CliRun& run, const std::string& path, bool json, std::ostream& out);
void SchemaImportCommand(CliRun& run, const std::string& path, bool json, std::ostream& out);
void SchemaApplyCommand(CliRun& run, const std::string& path, bool json, std::ostream& out);

// Saves the fast-load list of the archive holding the unit `key`.
void UdfSaveCommand(CliRun& run, const std::string& key, const std::string& path, bool json,
                    std::ostream& out);

// Prints a rename report; CommandError when any rename was refused.
void PrintRenames(const RenameReport& report, bool json, std::ostream& out);

}  // namespace kloxmere::cli

#include "cli/InformationCommands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/Locations.h"
#include "catalogue/UnitGroupsFile.h"
#include "cli/CliSession.h"
#include "cli/CommandErrors.h"
#include "cli/TextTable.h"

namespace kloxmere::cli {

void PathsCommand(CliRun& run, bool json, std::ostream& out) {
    const Session& session = run.session;
    std::optional<std::string> ta;
    try {
        ta = run.requireTADirectory();
    } catch (const CommandError&) {
        // no TA directory is a valid answer here
    }
    const std::string groups = session.userDataDirectory + kUnitGroupsFileName;
    if (json) {
        nlohmann::ordered_json result = {
            {"programDirectory", session.programDirectory},
            {"userDataDirectory", session.userDataDirectory},
            {"unitGroups", groups},
            {"settings", SettingsLocation()},
            {"taDirectory", ta ? nlohmann::ordered_json(*ta) : nlohmann::ordered_json(nullptr)},
        };
        out << result.dump(2) << '\n';
        return;
    }
    TextTable table({"Program directory", session.programDirectory});
    table.addRow({"User data directory", session.userDataDirectory});
    table.addRow({"Unit groups", groups});
    table.addRow({"Settings", SettingsLocation()});
    table.addRow({"TA directory", ta.value_or("(not found)")});
    table.print(out);
}

void RegisterInformationCommands(CLI::App& app) {
    app.add_subcommand("paths", "Print where Kloxmere keeps its files")->callback([] {
        CliRun run;
        PathsCommand(run, Globals().json, std::cout);
    });
}

}  // namespace kloxmere::cli

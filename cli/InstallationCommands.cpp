#include "cli/InstallationCommands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/ProgramLauncher.h"
#include "base/Environment.h"
#include "base/FileSystem.h"
#include "cli/CliSession.h"
#include "cli/TextTable.h"

namespace kloxmere::cli {

namespace {

// The command Launch TA would run for the installation.
LaunchCommand launchCommandOf(const FoundInstallation& installation) {
    std::string game = DirectoryNames(installation.directory).find("totala.exe");
    if (game.empty()) game = "totala.exe";
    const std::string directory = installation.directory + NativeSeparator();
    const LaunchRequest request{"open", directory + game, "", directory, directory};
    return LaunchCommandFor(request, EnvironmentValue("PATH"),
                            PathFromUtf8(EnvironmentValue("HOME")));
}

// The command as a line of text: variables, program, arguments; words with
// blanks in single quotes.
std::string commandLine(const LaunchCommand& command) {
    auto word = [](const std::string& text) {
        return text.find_first_of(" \t'\"") == std::string::npos ? text : "'" + text + "'";
    };
    std::string line;
    for (const auto& [name, value] : command.environment) line += name + "=" + word(value) + " ";
    line += word(command.program);
    for (const std::string& argument : command.arguments) line += " " + word(argument);
    if (command.missing) line += "  (" + command.program + " not found)";
    return line;
}

}  // namespace

void InstallationsCommand(const std::vector<FoundInstallation>& found, bool json,
                          std::ostream& out) {
    if (json) {
        nlohmann::ordered_json result = nlohmann::ordered_json::array();
        for (const FoundInstallation& installation : found) {
            const LaunchCommand command = launchCommandOf(installation);
            nlohmann::ordered_json environment = nlohmann::ordered_json::object();
            for (const auto& [name, value] : command.environment) environment[name] = value;
            result.push_back({
                {"directory", installation.directory},
                {"archives", installation.archives},
                {"source", installation.source},
                {"launch",
                 {{"program", command.program},
                  {"arguments", command.arguments},
                  {"environment", environment},
                  {"workingDirectory", command.workingDirectory}}},
            });
        }
        out << result.dump(2) << '\n';
        return;
    }
    if (found.empty()) {
        out << "No TA installation was found.\n";
        return;
    }
    TextTable table({"Directory", "Archives", "Source", "Started as"});
    for (const FoundInstallation& installation : found) {
        table.addRow({installation.directory, std::to_string(installation.archives),
                      installation.source, commandLine(launchCommandOf(installation))});
    }
    table.print(out);
}

void RegisterInstallationCommands(CLI::App& app) {
    app.add_subcommand("installations",
                       "List the TA installations found where game launchers keep games, "
                       "and how each would be started")
        ->callback(
            [] { InstallationsCommand(DiscoverInstallations(), Globals().json, std::cout); });
}

}  // namespace kloxmere::cli

// kloxmere-cli: the command-line front end. The command groups register
// their subcommands; this file parses, dispatches and maps failures to exit
// codes: 0 success, 1 a command failed (bad or missing input, damaged
// archive, unwritable output), 2 the command line was wrong.

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <string>

#include "app/ProgramInformation.h"
#include "cli/CommandErrors.h"
#include "cli/CommandGroups.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Messages go out on one line, whatever the error carried.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Looks after the units of a TA installation", "kloxmere-cli");
    app.set_version_flag("--version", kloxmere::VersionLine(), "Print the version and exit");
    app.require_subcommand(1);
    for (auto registerGroup : kloxmere::cli::CommandGroups()) registerGroup(app);

    try {
        app.parse(argc, argv);
        return 0;
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : kUsage;  // --help exits with 0
    } catch (const kloxmere::cli::UsageError& e) {
        std::cerr << "kloxmere-cli: " << oneLine(e.what()) << '\n';
        return kUsage;
    } catch (const std::exception& e) {
        std::cerr << "kloxmere-cli: " << oneLine(e.what()) << '\n';
        return kFailed;
    }
}

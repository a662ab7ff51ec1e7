#include "cli/CliSession.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/Locations.h"
#include "base/FileSystem.h"
#include "catalogue/UnitGroupsFile.h"
#include "cli/CommandErrors.h"

namespace kloxmere::cli {

namespace {

std::string withSeparator(std::string directory) {
    if (!directory.empty() && !IsSeparator(directory.back())) directory += NativeSeparator();
    return directory;
}

std::string homeDirectory(const GlobalOptions& options) {
    if (options.home.empty()) return UserDataDirectory();
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(options.home), error);
    if (!std::filesystem::is_directory(PathFromUtf8(options.home), error)) {
        throw CommandError(options.home + ": not a directory");
    }
    return withSeparator(options.home);
}

}  // namespace

GlobalOptions& Globals() {
    static GlobalOptions options;
    return options;
}

void RegisterGlobalOptions(CLI::App& app) {
    GlobalOptions& options = Globals();
    app.add_option("--ta", options.ta,
                   "The TA directory (else KLOXMERE_TA_DIR, else the game's "
                   "registry entry or the Wine prefix's, else the one installation "
                   "the game launchers' places hold)");
    app.add_option("--home", options.home,
                   "Where unitgroups.dat and the fast-load lists live (else KLOXMERE_HOME)");
    app.add_flag("--json", options.json, "Print JSON instead of aligned text");
    app.fallthrough();
}

CliRun::CliRun(const GlobalOptions& options)
    : services(options.json),
      session(services, homeDirectory(options), ProgramDirectory()),
      m_ta(options.ta) {
    if (!m_ta.empty()) {
        std::error_code error;
        if (!std::filesystem::is_directory(PathFromUtf8(m_ta), error)) {
            throw CommandError(m_ta + ": not a directory");
        }
        session.TADirectory = withSeparator(m_ta);
    }
}

const std::string& CliRun::requireTADirectory() {
    if (session.TADirectory.empty()) {
        // Found quietly: the terminal cannot show the chooser or the picker.
        const TADirectoryLookup lookup = LookUpTADirectory();
        if (!lookup.directory.empty()) {
            session.TADirectory = lookup.directory;
        } else if (lookup.found.size() == 1) {
            session.TADirectory = withSeparator(lookup.found.front().directory);
        } else if (lookup.found.empty()) {
            throw CommandError(
                "Your TA directory could not be found. Pass --ta DIR or set KLOXMERE_TA_DIR.");
        } else {
            std::string candidates;
            for (const FoundInstallation& found : lookup.found) {
                candidates +=
                    (candidates.empty() ? "" : ", ") + found.directory + " (" + found.source + ")";
            }
            throw CommandError("Several TA installations were found: " + candidates +
                               ". Pass --ta DIR to choose one.");
        }
    }
    return session.TADirectory;
}

void CliRun::scan(ScanTimings* timings) {
    requireTADirectory();
    ScanInstallation(session, ScanOptions{0, timings, useScanCache && ScanCacheWanted()});
    if (!services.failures().empty()) throw CommandError(services.failures().front());
}

void ExitWithoutTeardown(int code) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    // A stream that could not be written fails the command, as a normal exit would show.
    if (!std::cout.good() || std::ferror(stdout)) code = code == 0 ? 1 : code;
    std::_Exit(code);
}

void CliRun::loadGroups() {
    GroupsLoadResult result = LoadGroups(session.catalogue.GroupList, session.userDataDirectory);
    if (result.damaged) std::cerr << "kloxmere-cli: warning: " << result.problem << '\n';
}

}  // namespace kloxmere::cli

#pragma once

// What the catalogue commands share: the global options (--ta, --home,
// --json) and the run of one command, a session on the terminal.

#include <string>

#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "cli/TerminalServices.h"

namespace CLI {
class App;
}

namespace kloxmere::cli {

struct GlobalOptions {
    std::string ta;     // --ta: the TA directory
    std::string home;   // --home: the user data directory
    bool json = false;  // --json: machine-readable output
};

// The options of this process's command line.
GlobalOptions& Globals();

// Adds --ta, --home and --json to `app`; they may stand before or after the command.
void RegisterGlobalOptions(CLI::App& app);

// One command's session. The TA directory comes from --ta, else
// KLOXMERE_TA_DIR, else the game's registry entry (or the Wine prefix's),
// else the one installation found in the game launchers' places;
// the user data directory from --home, else KLOXMERE_HOME, else the
// platform's place.
class CliRun {
  public:
    explicit CliRun(const GlobalOptions& options = Globals());

    TerminalServices services;
    Session session;

    // Finds the TA directory; CommandError (with a hint to pass --ta) when
    // there is none, or when several installations were found (listing them).
    const std::string& requireTADirectory();
    // Scans the TA directory; CommandError when the scan reported a failure.
    void scan(ScanTimings* timings = nullptr);
    // Whether scan() uses the scan cache (also off with KLOXMERE_NO_SCAN_CACHE set).
    bool useScanCache = true;
    // Loads the user's unit groups; a damaged file (moved aside, the groups
    // before the damage kept) is reported on stderr.
    void loadGroups();

  private:
    std::string m_ta;
};

// Ends the process with `code` once the standard streams are flushed, without
// running destructors. A command that has printed its result calls it with
// its session still alive: tearing down a catalogue of tens of thousands of
// records only to end the process would cost a good part of the scan's time
// again, and the system takes the memory back at once. The catalogue's own
// types still free everything when destroyed, as the tests check.
[[noreturn]] void ExitWithoutTeardown(int code);

}  // namespace kloxmere::cli

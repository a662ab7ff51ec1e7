#pragma once

// kloxmere-cli undo | history | recover: the journal of archive switches
// from the command line, and the warning read-only commands give while a
// switch is left interrupted.

#include <iosfwd>

namespace CLI {
class App;
}

namespace kloxmere::cli {

class CliRun;

void RegisterSwitchCommands(CLI::App& app);

// Reverses the newest switch that can be undone; prints as `disable` does.
void UndoCommand(CliRun& run, bool json, std::ostream& out);
// Lists the journalled switches, newest first.
void HistoryCommand(CliRun& run, bool json, std::ostream& out);
// Finishes (`finish`) or reverses the interrupted switch.
void RecoverCommand(CliRun& run, bool finish, bool json, std::ostream& out);

}  // namespace kloxmere::cli

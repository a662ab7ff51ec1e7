#include "cli/SwitchCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <system_error>

#include "app/Locations.h"
#include "base/FileSystem.h"
#include "catalogue/ArchiveSwitch.h"
#include "cli/ArchiveStateCommands.h"
#include "cli/CliSession.h"
#include "cli/CommandErrors.h"
#include "units/modGeneric.h"

namespace kloxmere::cli {

namespace {

using Json = nlohmann::ordered_json;

const char* stateWord(BatchState state) {
    switch (state) {
        case BatchState::Complete:
            return "complete";
        case BatchState::Interrupted:
            return "interrupted";
        case BatchState::Undone:
            break;
    }
    return "undone";
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(PathFromUtf8(path), error);
}

// A rename's outcome for the listing. An archive found with the wanted name
// counts as done, its reason saying so; a rename an interrupted batch did
// not record is judged by the disk.
std::pair<const char*, std::string> outcomeOf(const JournalRename& rename, bool interrupted) {
    switch (rename.outcome) {
        case RenameOutcome::Done:
            return {"done", ""};
        case RenameOutcome::Already:
            return {"done", rename.reason};
        case RenameOutcome::Refused:
            return {"refused", rename.reason};
        case RenameOutcome::Pending:
            break;
    }
    if (interrupted && !exists(rename.from) && exists(rename.to)) return {"done", ""};
    return {"pending", ""};
}

// The commands that only read: while a switch is left interrupted they go
// on after one warning. The renaming ones refuse in the switcher itself.
bool isReadOnly(CLI::App& app) {
    for (CLI::App* command : app.get_subcommands()) {
        const std::string& name = command->get_name();
        if (name == "scan" || name == "tree" || name == "list" || name == "unit" ||
            name == "history") {
            return true;
        }
        if (name == "schema") {
            for (CLI::App* sub : command->get_subcommands()) {
                if (sub->get_name() == "export") return true;
            }
        }
    }
    return false;
}

void warnIfInterrupted() {
    const std::string& home = Globals().home;
    if (!home.empty() && !std::filesystem::is_directory(PathFromUtf8(home))) return;
    if (auto batch = FindInterruptedSwitch(home.empty() ? UserDataDirectory() : home)) {
        std::cerr << "kloxmere-cli: warning: " << InterruptedSwitchMessage(*batch) << '\n';
    }
}

}  // namespace

void UndoCommand(CliRun&, bool json, std::ostream& out) {
    PrintRenames(UndoLastSwitch(), json, out);
}

void RecoverCommand(CliRun&, bool finish, bool json, std::ostream& out) {
    PrintRenames(RecoverSwitch(finish), json, out);
}

void HistoryCommand(CliRun& run, bool json, std::ostream& out) {
    std::vector<JournalBatch> all = ReadJournal(run.session.userDataDirectory);
    Json list = Json::array();
    for (auto batch = all.rbegin(); batch != all.rend(); ++batch) {
        BatchState state = StateOf(*batch, all);
        bool interrupted = state == BatchState::Interrupted;
        if (json) {
            Json renames = Json::array();
            for (const JournalRename& rename : batch->renames) {
                auto [outcome, reason] = outcomeOf(rename, interrupted);
                renames.push_back({{"from", rename.from},
                                   {"to", rename.to},
                                   {"outcome", outcome},
                                   {"reason", reason}});
            }
            Json entry{{"id", batch->id},
                       {"time", batch->time},
                       {"command", batch->command},
                       {"state", stateWord(state)}};
            if (batch->undoes != 0) entry["undoes"] = batch->undoes;
            entry["renames"] = std::move(renames);
            list.push_back(std::move(entry));
            continue;
        }
        out << batch->id << "  " << batch->time << "  " << batch->command;
        if (batch->undoes != 0) out << " (undo of " << batch->undoes << ")";
        out << "  " << stateWord(state) << '\n';
        for (const JournalRename& rename : batch->renames) {
            auto [outcome, reason] = outcomeOf(rename, interrupted);
            out << "    " << FileTitle(rename.from) << " -> " << FileTitle(rename.to) << "  "
                << outcome << (reason.empty() ? "" : ": " + reason) << '\n';
        }
    }
    if (json) {
        out << list.dump(2) << '\n';
    } else if (all.empty()) {
        out << "no switches recorded\n";
    }
}

void RegisterSwitchCommands(CLI::App& app) {
    app.parse_complete_callback([&app] {
        if (isReadOnly(app)) warnIfInterrupted();
    });

    app.add_subcommand("undo", "Reverse the newest archive switch not yet undone")->callback([] {
        CliRun run;
        UndoCommand(run, Globals().json, std::cout);
    });
    app.add_subcommand("history", "List the recorded archive switches, newest first")->callback([] {
        CliRun run;
        HistoryCommand(run, Globals().json, std::cout);
    });

    auto finish = std::make_shared<bool>(false);
    auto undo = std::make_shared<bool>(false);
    CLI::App* recover =
        app.add_subcommand("recover", "Finish or reverse an archive switch that was interrupted");
    CLI::Option* finishFlag =
        recover->add_flag("--finish", *finish, "Do the switch's remaining renames");
    CLI::Option* undoFlag = recover->add_flag("--undo", *undo, "Reverse the renames it did");
    finishFlag->excludes(undoFlag);
    recover->callback([finish, undo] {
        if (!*finish && !*undo) throw UsageError("recover takes --finish or --undo");
        CliRun run;
        RecoverCommand(run, *finish, Globals().json, std::cout);
    });
}

}  // namespace kloxmere::cli

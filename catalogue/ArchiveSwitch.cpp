#include "catalogue/ArchiveSwitch.h"

#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "catalogue/Catalogue.h"
#include "catalogue/GameGuard.h"
#include "catalogue/SwitchLock.h"
#include "units/ArchiveNames.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

std::string& home() {
    static std::string directory;
    return directory;
}

RenameHook& renameHook() {
    static RenameHook hook = nullptr;
    return hook;
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(PathFromUtf8(path), error);
}

std::string absolute(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(PathFromUtf8(path), error);
    return error ? path : Utf8FromPath(full.lexically_normal());
}

std::string alreadyReason(const std::string& to) {
    return IsEnabledName(to) ? "already enabled" : "already disabled";
}

// Brings one archive from `from` to `to` as the disk stands now.
RenameOutcome step(std::size_t index, const std::string& from, const std::string& to,
                   std::string& reason) {
    if (exists(from)) {
        if (renameHook()) renameHook()(index, false);
        if (!RenameNoReplace(PathFromUtf8(from), PathFromUtf8(to), &reason)) {
            return RenameOutcome::Refused;
        }
        if (renameHook()) renameHook()(index, true);
        reason.clear();
        return RenameOutcome::Done;
    }
    if (exists(to)) {
        reason = alreadyReason(to);
        return RenameOutcome::Already;
    }
    reason = "missing";
    return RenameOutcome::Refused;
}

void report(RenameReport& report, RenameOutcome outcome, const std::string& from,
            const std::string& to, const std::string& reason) {
    switch (outcome) {
        case RenameOutcome::Done:
            report.renamed.push_back({from, to, {}});
            break;
        case RenameOutcome::Already:
            report.unchanged.push_back({from, to, reason});
            break;
        case RenameOutcome::Refused:
            report.refused.push_back({from, {}, reason});
            break;
        case RenameOutcome::Pending:
            break;
    }
}

// The catalogue's archive handles by path, so that they follow renames made
// from the journal.
class Handles {
  public:
    explicit Handles(Catalogue* catalogue) {
        if (!catalogue) return;
        for (clsUnitArchive* archive : catalogue->ArchiveList) {
            if (archive->HPI) m_byPath[absolute(archive->HPI->Filename)] = archive->HPI.get();
        }
    }
    // The handle keeps its directory as it spelled it; only the name changes.
    void follow(const std::string& from, const std::string& to) {
        auto it = m_byPath.find(from);
        if (it == m_byPath.end()) return;
        clsHPI* hpi = it->second;
        std::size_t separator = hpi->Filename.find_last_of("\\/");
        hpi->Filename =
            hpi->Filename.substr(0, separator == std::string::npos ? 0 : separator + 1) +
            FileTitle(to);
        m_byPath.erase(it);
        m_byPath[to] = hpi;
    }

  private:
    std::unordered_map<std::string, clsHPI*> m_byPath;
};

// Whether a batch may start now; "" when it may, otherwise why not.
std::string admit(const std::string& userData, const SwitchLock& lock, bool recovering) {
    if (!lock.held()) return kSwitchLockBusy;
    if (!recovering) {
        for (const JournalBatch& batch : ReadJournal(userData)) {
            if (!batch.ended) return InterruptedSwitchMessage(batch);
        }
    }
    if (auto game = FindRunningGame()) return GameRunningMessage(*game);
    return {};
}

std::string journalProblem(const FileError& error) {
    return std::string("the switch journal could not be written, so nothing was renamed: ") +
           error.what();
}

// Runs the planned renames of `batch` (already admitted) and records them.
RenameReport execute(JournalBatch& batch, const std::vector<PlannedRename>& archives,
                     Handles* handles) {
    RenameReport result;
    std::optional<JournalWriter> writer;
    if (!home().empty()) {
        try {
            writer.emplace(JournalWriter::Begin(home(), batch));
        } catch (const FileError& error) {
            result.refusal = journalProblem(error);
            return result;
        }
    }
    try {
        for (std::size_t i = 0; i < batch.renames.size(); ++i) {
            JournalRename& rename = batch.renames[i];
            if (rename.outcome == RenameOutcome::Pending) {
                rename.outcome = step(i, rename.from, rename.to, rename.reason);
            }
            if (rename.outcome == RenameOutcome::Done || rename.outcome == RenameOutcome::Already) {
                // The handle follows the disk, whoever renamed the file.
                if (i < archives.size() && archives[i].archive) {
                    archives[i].archive->Filename = archives[i].to;
                }
                if (handles) handles->follow(rename.from, rename.to);
            }
            // Reported as the caller named the archives.
            bool planned = i < archives.size();
            report(result, rename.outcome, planned ? archives[i].from : rename.from,
                   planned ? archives[i].to : rename.to, rename.reason);
            if (writer) writer->Outcome(i, rename.outcome, rename.reason);
        }
        if (writer) writer->End(false);
    } catch (const FileError& error) {
        // No rename goes unrecorded: the batch stops here and is left
        // interrupted, for recovery to finish or reverse.
        result.refusal = std::string(
                             "the switch journal could not be written, so the switch "
                             "stopped: ") +
                         error.what();
    }
    return result;
}

}  // namespace

SwitchHomeScope::SwitchHomeScope(std::string userDataDirectory) : m_previous(home()) {
    home() = std::move(userDataDirectory);
}

SwitchHomeScope::~SwitchHomeScope() {
    home() = std::move(m_previous);
}

const std::string& SwitchHome() {
    return home();
}

void SetRenameHookForTests(RenameHook hook) {
    renameHook() = hook;
}

std::optional<std::string> SwitchedPath(const std::string& path, bool enable) {
    std::size_t separator = path.find_last_of("\\/");
    std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    if (path.find('.', nameStart) == std::string::npos) return std::nullopt;
    if (IsEnabledName(path) == enable) return path;
    return path.substr(0, nameStart) + ToggledName(path);
}

RenameReport RunSwitch(SwitchPlan plan) {
    // Even a batch with nothing to rename is refused where a batch would be:
    // the user learns of an interrupted switch or a running game at once.
    RenameReport result;
    std::optional<SwitchLock> lock;
    if (!home().empty()) {
        lock.emplace(home(), kSwitchLockWait);
        result.refusal = admit(home(), *lock, false);
    } else if (auto game = FindRunningGame()) {
        result.refusal = GameRunningMessage(*game);
    }
    if (!result.refusal.empty() || plan.renames.empty()) return result;

    JournalBatch batch;
    batch.command = plan.command;
    for (PlannedRename& planned : plan.renames) {
        // The journal names files by full path: it is read again from any
        // directory.
        JournalRename rename{absolute(planned.from), absolute(planned.to), {}, {}, {}, {}};
        if (planned.to.empty()) {
            rename.outcome = RenameOutcome::Refused;
            rename.reason = planned.reason;
        }
        batch.renames.push_back(std::move(rename));
    }
    return execute(batch, plan.renames, nullptr);
}

std::optional<JournalBatch> LastUndoableSwitch(const std::string& userDataDirectory) {
    std::vector<JournalBatch> all = ReadJournal(userDataDirectory);
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (it->undoes != 0 || StateOf(*it, all) != BatchState::Complete) continue;
        for (const JournalRename& rename : it->renames) {
            if (rename.outcome == RenameOutcome::Done) return *it;
        }
    }
    return std::nullopt;
}

RenameReport UndoLastSwitch(Catalogue* catalogue) {
    RenameReport result;
    if (home().empty()) {
        result.refusal = "there is no switch to undo";
        return result;
    }
    SwitchLock lock(home(), kSwitchLockWait);
    result.refusal = admit(home(), lock, false);
    if (!result.refusal.empty()) return result;
    std::optional<JournalBatch> target = LastUndoableSwitch(home());
    if (!target) {
        result.refusal = "there is no switch to undo";
        return result;
    }
    JournalBatch undo;
    undo.command = "Undo " + target->command;
    undo.undoes = target->id;
    for (const JournalRename& rename : target->renames) {
        // A rename the batch did not finish saying is reversed when the disk
        // shows it done.
        if (rename.outcome == RenameOutcome::Done || rename.outcome == RenameOutcome::Pending) {
            undo.renames.push_back({rename.to, rename.from, {}, {}, {}, {}});
        }
    }
    Handles handles(catalogue);
    return execute(undo, {}, &handles);
}

std::optional<JournalBatch> FindInterruptedSwitch(const std::string& userDataDirectory) {
    if (userDataDirectory.empty()) return std::nullopt;
    std::vector<JournalBatch> all = ReadJournal(userDataDirectory);
    bool unfinished = false;
    for (const JournalBatch& batch : all) unfinished = unfinished || !batch.ended;
    if (!unfinished) return std::nullopt;
    // Unfinished and locked: a running program is doing it now.
    SwitchLock lock(userDataDirectory, std::chrono::milliseconds(0));
    if (!lock.held()) return std::nullopt;
    all = ReadJournal(userDataDirectory);
    for (const JournalBatch& batch : all) {
        if (!batch.ended) return batch;
    }
    return std::nullopt;
}

std::size_t CountDoneRenames(const JournalBatch& batch) {
    std::size_t done = 0;
    for (const JournalRename& rename : batch.renames) {
        if (rename.outcome == RenameOutcome::Done || (rename.outcome == RenameOutcome::Pending &&
                                                      !exists(rename.from) && exists(rename.to))) {
            ++done;
        }
    }
    return done;
}

RenameReport RecoverSwitch(bool finish, Catalogue* catalogue) {
    RenameReport result;
    if (home().empty()) {
        result.refusal = "there is no interrupted switch to recover";
        return result;
    }
    SwitchLock lock(home(), kSwitchLockWait);
    result.refusal = admit(home(), lock, true);
    if (!result.refusal.empty()) return result;
    std::optional<JournalBatch> batch;
    for (JournalBatch& candidate : ReadJournal(home())) {
        if (!candidate.ended) batch = std::move(candidate);
    }
    if (!batch) {
        result.refusal = "there is no interrupted switch to recover";
        return result;
    }
    Handles handles(catalogue);
    try {
        JournalWriter writer(batch->file);
        for (std::size_t i = 0; i < batch->renames.size(); ++i) {
            JournalRename& rename = batch->renames[i];
            if (rename.outcome == RenameOutcome::Refused ||
                rename.outcome == RenameOutcome::Already) {
                continue;  // the batch did nothing to these
            }
            std::string reason;
            if (finish) {
                if (rename.outcome == RenameOutcome::Done) continue;
                RenameOutcome outcome = step(i, rename.from, rename.to, reason);
                if (outcome == RenameOutcome::Already) {
                    // Renamed by the batch before it ended, or by someone
                    // else: either way the archive has the wanted name.
                    outcome = RenameOutcome::Done;
                    result.unchanged.push_back({rename.from, rename.to, reason});
                } else {
                    report(result, outcome, rename.from, rename.to, reason);
                }
                writer.Outcome(i, outcome, reason);
                if (outcome == RenameOutcome::Done) handles.follow(rename.from, rename.to);
            } else {
                if (rename.outcome == RenameOutcome::Pending && !exists(rename.to)) continue;
                RenameOutcome outcome = step(i, rename.to, rename.from, reason);
                report(result, outcome, rename.to, rename.from, reason);
                writer.Reversed(i, outcome, reason);
                if (outcome != RenameOutcome::Refused) handles.follow(rename.to, rename.from);
            }
        }
        writer.End(!finish);
    } catch (const FileError& error) {
        result.refusal = std::string("the switch journal could not be written: ") + error.what();
    }
    return result;
}

std::string InterruptedSwitchMessage(const JournalBatch& batch) {
    return "the switch \"" + batch.command + "\" (" + std::to_string(CountDoneRenames(batch)) +
           " of " + std::to_string(batch.renames.size()) +
           " renames done) was interrupted: finish it with kloxmere-cli recover --finish or "
           "undo it with kloxmere-cli recover --undo";
}

}  // namespace kloxmere

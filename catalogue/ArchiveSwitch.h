#pragma once

// The one way archives are switched: every batch of renames (a group, a unit,
// a schema, an undo, a recovery) runs through RunSwitch, which
// - refuses the whole batch while the game runs, while another Kloxmere
//   switches (after waiting for it a while) and while an earlier batch is
//   left interrupted;
// - records the batch in the journal before the first rename and each
//   outcome as it happens;
// - checks each archive's name on disk before renaming it, so an archive
//   renamed meanwhile by someone else is found in the wanted form (nothing
//   to do) or missing (refused), never renamed over a file.

#include <optional>
#include <string>
#include <vector>

#include "catalogue/Enabling.h"
#include "catalogue/SwitchJournal.h"

namespace kloxmere {

class Catalogue;
class clsHPI;

struct PlannedRename {
    std::string from;
    std::string to;             // "" when the name cannot be switched (`reason` says why)
    clsHPI* archive = nullptr;  // the handle that follows the rename, if any
    std::string reason;
};

struct SwitchPlan {
    std::string command;  // "Disable Group Arm", "Import Schema best.uls"
    std::vector<PlannedRename> renames;
};

// The user data directory whose journal and lock the switches of this
// process use, for as long as the scope lives (a session sets it for its
// run). Without one, batches are neither journalled nor locked.
class SwitchHomeScope {
  public:
    explicit SwitchHomeScope(std::string userDataDirectory);
    ~SwitchHomeScope();
    SwitchHomeScope(const SwitchHomeScope&) = delete;
    SwitchHomeScope& operator=(const SwitchHomeScope&) = delete;

  private:
    std::string m_previous;
};
const std::string& SwitchHome();

// `path`'s archive name in its enabled or disabled form; nullopt when the
// file name has no extension to switch.
std::optional<std::string> SwitchedPath(const std::string& path, bool enable);

// Runs a batch. A refused batch renames nothing and says why in `refusal`.
RenameReport RunSwitch(SwitchPlan plan);

// The newest batch an undo would reverse: finished, not undone, not itself an
// undo, with at least one rename done.
std::optional<JournalBatch> LastUndoableSwitch(const std::string& userDataDirectory);

// Reverses LastUndoableSwitch as a batch of its own ("Undo " and its command).
// The handles of `catalogue` (when given) follow the renames.
RenameReport UndoLastSwitch(Catalogue* catalogue = nullptr);

// The batch left unfinished by a program that ended during it; nullopt when
// there is none, or when another running program holds the lock (it is
// doing that batch now).
std::optional<JournalBatch> FindInterruptedSwitch(const std::string& userDataDirectory);

// How many of the batch's renames are done, as its archives' names on disk say.
std::size_t CountDoneRenames(const JournalBatch& batch);

// Finishes (`finish`) or reverses the interrupted batch; afterwards it is
// complete or undone.
RenameReport RecoverSwitch(bool finish, Catalogue* catalogue = nullptr);

// The message that names the interrupted batch and the ways out of it.
std::string InterruptedSwitchMessage(const JournalBatch& batch);

// Test seam: called with a rename's index before it is tried (`renamed`
// false) and once it is done, before its outcome is recorded (true).
using RenameHook = void (*)(std::size_t index, bool renamed);
void SetRenameHookForTests(RenameHook hook);

}  // namespace kloxmere

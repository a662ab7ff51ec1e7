#pragma once

// At start-up: a batch of archive renames that a program left unfinished
// (a crash, a power cut, a killed process) is offered to the user to finish,
// to undo, or to leave for the next start.

#include <string>

#include "catalogue/SwitchJournal.h"

namespace kloxmere {

class Session;

inline constexpr const char* kRecoverFinishButton = "&Finish";
inline constexpr const char* kRecoverUndoButton = "&Undo";
inline constexpr const char* kRecoverLaterButton = "&Later";

// The question asked about `batch`.
std::string SwitchRecoveryQuestion(const JournalBatch& batch);

// Asks about the interrupted batch of the session's user data directory, if
// any, and finishes or undoes it as the user chooses, reporting archives
// that could not be switched. Whether a batch was asked about.
bool OfferSwitchRecovery(Session& session);

}  // namespace kloxmere

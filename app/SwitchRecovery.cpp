#include "app/SwitchRecovery.h"

#include "app/Session.h"
#include "base/BusyPointer.h"
#include "catalogue/ArchiveSwitch.h"
#include "units/modGeneric.h"

namespace kloxmere {

std::string SwitchRecoveryQuestion(const JournalBatch& batch) {
    return "Switching archives was interrupted: \"" + batch.command + "\" had done " +
           std::to_string(CountDoneRenames(batch)) + " of its " +
           std::to_string(batch.renames.size()) +
           " renames.\n\nFinish it (do the rest), undo it (reverse what was done), or decide "
           "later (you will be asked at the next start)?";
}

bool OfferSwitchRecovery(Session& session) {
    std::optional<JournalBatch> batch = FindInterruptedSwitch(session.userDataDirectory);
    if (!batch) return false;
    std::size_t choice =
        session.services.AskChoice(SwitchRecoveryQuestion(*batch), kApplicationTitle,
                                   {kRecoverFinishButton, kRecoverUndoButton, kRecoverLaterButton});
    if (choice > 1) return true;
    RenameReport report;
    {
        BusyPointer busy(session.services);
        report = RecoverSwitch(choice == 0, &session.catalogue);
    }
    std::string text = report.refusal;
    if (text.empty() && !report.refused.empty()) {
        text = report.refused.size() == 1 ? "This archive could not be switched:\n"
                                          : "These archives could not be switched:\n";
        for (const ArchiveRename& refused : report.refused) {
            text += "\n" + FileTitle(refused.from) + ": " + refused.reason;
        }
    }
    if (!text.empty()) {
        session.services.ShowMessage(text, kApplicationTitle, MessageIcon::Exclamation);
    }
    return true;
}

}  // namespace kloxmere

// Undo Last Switch, and the question about a switch left interrupted that
// the window asks before it shows.

#include <QAction>

#include "app/Session.h"
#include "app/SwitchRecovery.h"
#include "base/BusyPointer.h"
#include "catalogue/ArchiveSwitch.h"
#include "ui/FrmMain.h"

namespace kloxmere::ui {

// The item names the batch it would reverse ("&Undo Disable Group Arm") and
// is disabled when there is none; the journal may have changed meanwhile
// (kloxmere-cli), so it is read again whenever the menu opens.
void FrmMain::updateUndoItem() {
    std::optional<JournalBatch> batch = LastUndoableSwitch(m_session.userDataDirectory);
    if (m_session.userDataDirectory.empty() || !batch) {
        mnuUnitsUndo->setText("&Undo Last Switch");
        mnuUnitsUndo->setEnabled(false);
        return;
    }
    QString command = QString::fromStdString(batch->command).replace('&', "&&");
    mnuUnitsUndo->setText("&Undo " + command);
    mnuUnitsUndo->setEnabled(true);
}

void FrmMain::mnuUnitsUndo_Click() {
    RenameReport report;
    {
        BusyPointer busy(m_session.services);
        report = UndoLastSwitch(&m_session.catalogue);
        DisplayCurrentUnit();
        RefreshListState();
    }
    reportRefusedRenames(report);
}

void FrmMain::offerSwitchRecovery() {
    OfferSwitchRecovery(m_session);
}

}  // namespace kloxmere::ui

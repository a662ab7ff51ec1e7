// The main window's commands: the menus and the toolbar.

#include "app/Session.h"
#include "app/UnitViewerExport.h"
#include "archive/clsHPI.h"
#include "base/BusyPointer.h"
#include "catalogue/ArchiveSwitch.h"
#include "catalogue/Enabling.h"
#include "catalogue/Schemas.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"
#include "window/MainPresenter.h"

namespace kloxmere::window {

namespace {

const FileDialogRequest kViewerDialog{FileDialogMode::Open, "", "exe",
                                      "Applications (*.exe)|*.exe"};
const FileDialogRequest kUnitListDialog{FileDialogMode::Save, "", "udf",
                                        "Unit definition file (*.udf)|*.udf"};
const FileDialogRequest kSchemaOpenDialog{FileDialogMode::Open, "", "uls",
                                          "Unit Schema (*.uls)|*.uls"};
const FileDialogRequest kSchemaSaveDialog{FileDialogMode::Save, "", "uls",
                                          "Unit Schema (*.uls)|*.uls"};

}  // namespace

void MainPresenter::Run(CommandId command) {
    switch (command) {
        case CommandId::SetTALocation:
            return setTALocation();
        case CommandId::SetUnitViewerLocation:
            return setUnitViewerLocation();
        case CommandId::ExportFastLoadList:
            return exportFastLoadList();
        case CommandId::Exit:
            return m_view.CloseMainWindow();
        // The menu item, the toolbar button and the view switch always agree,
        // so inverting the switch inverts the check mark whichever was used.
        case CommandId::ViewCavedog:
            return setViewSwitch(true, !m_session.view.ShowCavedog);
        case CommandId::ViewThirdParty:
            return setViewSwitch(false, !m_session.view.ShowThirdParty);
        case CommandId::EditUnitGroups:
            return editUnitGroups();
        case CommandId::ImportSchema:
            return importSchema();
        case CommandId::ExportSchema:
            return exportSchema();
        case CommandId::EnableGroup:
            return switchGroup(true);
        case CommandId::DisableGroup:
            return switchGroup(false);
        case CommandId::SwitchUnit:
            return switchUnit();
        case CommandId::UndoSwitch:
            return undoSwitch();
        case CommandId::ExportToUnitViewer:
            return exportToUnitViewer();
        case CommandId::About:
            return m_view.ShowAbout(m_session.userDataDirectory);
        case CommandId::LaunchTA:
            return launchTA();
    }
}

bool MainPresenter::RunToolbarButton(std::string_view key) {
    const std::optional<CommandId> command = CommandOfToolbarKey(key);
    if (!command) return false;
    Run(*command);
    return true;
}

void MainPresenter::setTALocation() {
    std::string picked = m_session.services.PickDirectory();
    if (picked.empty()) return;
    m_session.TADirectory = picked;
    m_session.TADirectoryPicked = true;
}

void MainPresenter::setUnitViewerLocation() {
    std::string chosen = m_session.services.ChooseFile(kViewerDialog);
    if (!chosen.empty()) m_session.UnitViewPath = chosen;
}

void MainPresenter::exportFastLoadList() {
    std::string path = m_session.services.ChooseFile(kUnitListDialog);
    if (path.empty()) return;
    BusyPointer busy(m_session.services);
    const clsUnit* unit = m_session.catalogue.CurrentUnit;
    if (unit && unit->Group) unit->Group->SaveList(path, m_session.services);
}

void MainPresenter::setViewSwitch(bool cavedog, bool checked) {
    (cavedog ? m_session.view.ShowCavedog : m_session.view.ShowThirdParty) = checked;
    m_view.CheckCommand(cavedog ? CommandId::ViewCavedog : CommandId::ViewThirdParty, checked);
    FillUnitList();
}

void MainPresenter::editUnitGroups() {
    m_view.EditGroups();
    // The rebuilt tree selects its first node; the list follows it, so that
    // a group command acts on the units the list shows.
    FillUnitTree();
    TreeNodeSelected();
}

void MainPresenter::importSchema() {
    std::string path = m_session.services.ChooseFile(kSchemaOpenDialog);
    if (!path.empty() && previewSchema(path)) {
        SchemaResult result;
        {
            BusyPointer busy(m_session.services);
            result = ImportSchema(m_session.catalogue, m_session.services, path);
            RefreshListState();
        }
        reportRefusedRenames(result.renames);
    }
}

void MainPresenter::exportSchema() {
    std::string path = m_session.services.ChooseFile(kSchemaSaveDialog);
    if (!path.empty()) {
        BusyPointer busy(m_session.services);
        ExportSchema(m_session.catalogue, path);
    }
}

void MainPresenter::switchGroup(bool enable) {
    RenameReport report;
    {
        BusyPointer busy(m_session.services);
        syncSelectedNode();
        report = SetSelectionEnabled(m_session.catalogue, m_session.view, enable);
        RefreshListState();
    }
    reportRefusedRenames(report);
}

void MainPresenter::switchUnit() {
    clsUnit* unit = m_session.catalogue.CurrentUnit;
    if (!unit) return;
    RenameReport report = SetUnitEnabled(*unit, !unit->Enabled());
    DisplayCurrentUnit();
    RefreshListState();
    reportRefusedRenames(report);
}

// The item names the batch it would reverse ("&Undo Disable Group Arm") and
// is disabled when there is none; the journal may have changed meanwhile
// (kloxmere-cli), so it is read again whenever the menu opens.
void MainPresenter::UpdateUndoItem() {
    std::optional<JournalBatch> batch = LastUndoableSwitch(m_session.userDataDirectory);
    if (m_session.userDataDirectory.empty() || !batch) {
        m_view.SetCommandCaption(CommandId::UndoSwitch,
                                 std::string(Command(CommandId::UndoSwitch).caption));
        m_view.EnableCommand(CommandId::UndoSwitch, false);
        return;
    }
    std::string command;
    for (char c : batch->command) {
        command += c;
        if (c == '&') command += '&';  // shown as itself, not as a mnemonic
    }
    m_view.SetCommandCaption(CommandId::UndoSwitch, "&Undo " + command);
    m_view.EnableCommand(CommandId::UndoSwitch, true);
}

void MainPresenter::UnitsMenuOpening() {
    UpdateUndoItem();
}

void MainPresenter::undoSwitch() {
    RenameReport report;
    {
        BusyPointer busy(m_session.services);
        report = UndoLastSwitch(&m_session.catalogue);
        DisplayCurrentUnit();
        RefreshListState();
    }
    reportRefusedRenames(report);
}

void MainPresenter::exportToUnitViewer() {
    if (const clsUnit* unit = m_session.catalogue.CurrentUnit) ExportToViewer(m_session, *unit);
}

// A refused rename (the other name exists, a read-only directory, a file in
// use) leaves that archive as it was while the others are switched; the user
// is told which ones, so that nobody believes an archive switched that is not.
void MainPresenter::reportRefusedRenames(const RenameReport& report) {
    UpdateUndoItem();
    if (!report.refusal.empty()) {
        // The whole batch was refused (the game runs, another Kloxmere switches...).
        m_session.services.ShowMessage("The archives could not be switched: " + report.refusal,
                                       kApplicationTitle, MessageIcon::Exclamation);
        return;
    }
    if (report.refused.empty()) return;
    std::string text = report.refused.size() == 1 ? "This archive could not be switched:\n"
                                                  : "These archives could not be switched:\n";
    for (const ArchiveRename& refused : report.refused) {
        text += "\n" + FileTitle(refused.from) + ": " + refused.reason;
    }
    m_session.services.ShowMessage(text, kApplicationTitle, MessageIcon::Exclamation);
}

void MainPresenter::launchTA() {
    std::string directory;
    try {
        LocateTADirectory(m_session);
        directory = LocateTADirectory(m_session);
    } catch (const TADirectoryNotFound&) {
        m_view.CloseMainWindow();  // the user gave no TA directory: the program ends
        return;
    }
    m_session.services.Launch({"open", directory + "totala.exe", "", directory, directory});
}

}  // namespace kloxmere::window

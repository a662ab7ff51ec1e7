// The main window's commands: the menus, the toolbar, the tabs, the tree and the list.

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTabBar>
#include <QTreeView>

#include "app/Session.h"
#include "archive/clsHPI.h"
#include "base/BusyPointer.h"
#include "catalogue/Enabling.h"
#include "catalogue/ListRows.h"
#include "catalogue/Schemas.h"
#include "catalogue/UnitTree.h"
#include "ui/FingerprintPanel.h"
#include "ui/FrmMain.h"
#include "ui/UnitListModel.h"
#include "ui/UnitTreeModel.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"

namespace kloxmere::ui {

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

void FrmMain::mnuEditSetTALocation_Click() {
    std::string picked = m_session.services.PickDirectory();
    if (picked.empty()) return;
    m_session.TADirectory = picked;
    m_session.TADirectoryPicked = true;
}

void FrmMain::mnuEditSetUnitView_Click() {
    std::string chosen = m_session.services.ChooseFile(kViewerDialog);
    if (!chosen.empty()) m_session.UnitViewPath = chosen;
}

void FrmMain::mnuFileSaveHPIListing_Click() {
    std::string path = m_session.services.ChooseFile(kUnitListDialog);
    if (path.empty()) return;
    BusyPointer busy(m_session.services);
    const clsUnit* unit = m_session.catalogue.CurrentUnit;
    if (unit && unit->Group) unit->Group->SaveList(path, m_session.services);
}

void FrmMain::mnuFileExit_Click() {
    close();
}

void FrmMain::setViewSwitch(bool cavedog, bool checked) {
    (cavedog ? m_session.view.ShowCavedog : m_session.view.ShowThirdParty) = checked;
    (cavedog ? mnuViewHPI : mnuViewUFO)->setChecked(checked);
    toolbarButton(cavedog ? "cavedog" : "thirdparty")->setChecked(checked);
    FillUnitList();
}

// The menu item, the toolbar button and the view switch always agree, so
// inverting the switch inverts the check mark whichever of the two was used.
void FrmMain::mnuViewHPI_Click() {
    setViewSwitch(true, !m_session.view.ShowCavedog);
}

void FrmMain::mnuViewUFO_Click() {
    setViewSwitch(false, !m_session.view.ShowThirdParty);
}

void FrmMain::mnuSchemasImport_Click() {
    std::string path = m_session.services.ChooseFile(kSchemaOpenDialog);
    if (!path.empty() && previewSchema(path)) {
        BusyPointer busy(m_session.services);
        SchemaResult result = ImportSchema(m_session.catalogue, m_session.services, path);
        RefreshListState();
        reportRefusedRenames(result.renames);
    }
}

void FrmMain::mnuSchemasExport_Click() {
    std::string path = m_session.services.ChooseFile(kSchemaSaveDialog);
    if (!path.empty()) {
        BusyPointer busy(m_session.services);
        ExportSchema(m_session.catalogue, path);
    }
}

void FrmMain::switchGroup(bool enable) {
    RenameReport report;
    {
        BusyPointer busy(m_session.services);
        syncSelectedNode();
        report = SetSelectionEnabled(m_session.catalogue, m_session.view, enable);
        RefreshListState();
    }
    reportRefusedRenames(report);
}

void FrmMain::mnuEditEnableGroup_Click() {
    switchGroup(true);
}

void FrmMain::mnuEditDisableGroup_Click() {
    switchGroup(false);
}

void FrmMain::mnuUnitsEnable_Click() {
    clsUnit* unit = m_session.catalogue.CurrentUnit;
    if (!unit) return;
    RenameReport report = SetUnitEnabled(*unit, !unit->Enabled());
    DisplayCurrentUnit();
    RefreshListState();
    reportRefusedRenames(report);
}

// A refused rename (the other name exists, a read-only directory, a file in
// use) leaves that archive as it was while the others are switched; the user
// is told which ones, so that nobody believes an archive switched that is not.
void FrmMain::reportRefusedRenames(const RenameReport& report) {
    updateUndoItem();
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

void FrmMain::Toolbar_ButtonClick(const QString& key) {
    if (key == "open") {
        mnuSchemasImport_Click();
    } else if (key == "save") {
        mnuSchemasExport_Click();
    } else if (key == "ta") {
        launchTA();
    } else if (key == "unitview") {
        mnuViewUnitViewer_Click();
    } else if (key == "cavedog") {
        mnuViewHPI_Click();
    } else if (key == "thirdparty") {
        mnuViewUFO_Click();
    } else if (key == "editgroups") {
        mnuUnitsGroups_Click();
    } else if (key == "enablegroup") {
        mnuEditEnableGroup_Click();
    } else if (key == "disablegroup") {
        mnuEditDisableGroup_Click();
    } else if (key == "unit") {
        mnuUnitsEnable_Click();
    }
}

void FrmMain::launchTA() {
    std::string directory;
    try {
        LocateTADirectory(m_session);
        directory = LocateTADirectory(m_session);
    } catch (const TADirectoryNotFound&) {
        close();  // the user gave no TA directory: the program ends
        return;
    }
    m_session.services.Launch({"open", directory + "totala.exe", "", directory, directory});
}

void FrmMain::TabView_Click() {
    BusyPointer busy(m_session.services);
    const int tab = TabView->currentIndex();
    setColumns(tab);
    m_session.view.CurrentTab = tab;
    FillUnitList();
}

void FrmMain::TreeUnits_Click() {
    if (m_fillingTree) return;
    const TreeNode* node = m_treeModel->node(TreeUnits->currentIndex());
    if (!node || node->key == m_lastTreeKey) return;
    FillUnitList();
    m_lastTreeKey = node->key;
}

void FrmMain::ListUnits_ItemClick(int row) {
    if (m_session.view.CurrentTab != kUnitsTab) return;
    const ListItem* item = m_listModel->item(row);
    if (!item) return;
    auto key = ItemKey(m_session.catalogue, *item);
    if (!key) return;
    if (clsUnit* const* unit = m_session.catalogue.UnitList.Find(*key)) {
        m_session.catalogue.CurrentUnit = *unit;
        DisplayCurrentUnit();
    }
}

void FrmMain::ListUnits_DblClick() {
    const std::int32_t tab = m_session.view.CurrentTab;
    if (tab == kUnitsTab || tab == kConflictsTab) mnuViewUnitViewer_Click();
}

void FrmMain::ListUnits_ColumnClick(int column) {
    if (column < 1) return;
    BusyPointer busy(m_session.services);
    m_listModel->sortByColumn(static_cast<std::size_t>(column - 1));
    ListUnits->header()->setSortIndicatorShown(true);
    ListUnits->header()->setSortIndicator(column - 1, Qt::AscendingOrder);
}

void FrmMain::syncSelectedNode() {
    const TreeNode* node = m_treeModel->node(TreeUnits->currentIndex());
    if (!node) return;
    if (auto ref = FindTreeNode(m_treeModel->nodes(), node->key))
        m_session.view.selectedNode = *ref;
}

void FrmMain::FillUnitTree() {
    m_fillingTree = true;
    m_treeModel->setNodes(kloxmere::FillUnitTree(m_session.catalogue));
    const auto& nodes = m_treeModel->nodes();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].expanded) TreeUnits->expand(m_treeModel->indexOfNode(i));
    }
    TreeUnits->setCurrentIndex(m_treeModel->indexOfNode(0));
    m_fillingTree = false;
}

// Every failure is passed over: the list shows what could be filled.
void FrmMain::FillUnitList() {
    syncSelectedNode();
    try {
        m_listModel->setItems(
            m_session.view.CurrentTab,
            FillUnitItems(m_session.catalogue, m_session.view, m_session.services));
    } catch (const std::exception&) {
        m_listModel->setItems(m_session.view.CurrentTab, {});
    }
}

void FrmMain::RefreshListState() {
    const std::int32_t tab = m_session.view.CurrentTab;
    if (tab == kUnitsTab || tab == kConflictsTab) m_listModel->refreshState();
    Fingerprint->refresh();  // a switch changes the enabled set
}

}  // namespace kloxmere::ui

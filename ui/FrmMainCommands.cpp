// The main window's events passed on to the presenter, and the tree, the
// tabs, the list and the status bar as the presenter has them shown.

#include <QHeaderView>
#include <QLabel>
#include <QTabBar>
#include <QTreeView>

#include "app/Session.h"
#include "ui/FingerprintPanel.h"
#include "ui/FrmMain.h"
#include "ui/UnitListModel.h"
#include "ui/UnitTreeModel.h"

namespace kloxmere::ui {

void FrmMain::Toolbar_ButtonClick(const QString& key) {
    m_presenter->RunToolbarButton(key.toStdString());
}

void FrmMain::TabView_Click() {
    m_presenter->TabSelected(TabView->currentIndex());
}

void FrmMain::TreeUnits_Click() {
    m_presenter->TreeNodeSelected();
}

void FrmMain::ListUnits_ItemClick(int row) {
    if (row >= 0) m_presenter->ListRowSelected(static_cast<std::size_t>(row));
}

void FrmMain::ListUnits_DblClick() {
    m_presenter->ListRowActivated();
}

void FrmMain::ListUnits_ColumnClick(int column) {
    m_presenter->ListColumnClicked(column);
}

void FrmMain::showInUnits(const std::string& key) {
    m_presenter->ShowInUnits(key);
}

void FrmMain::ShowTree(const std::vector<TreeNode>& nodes) {
    m_treeModel->setNodes(nodes);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].expanded) TreeUnits->expand(m_treeModel->indexOfNode(i));
    }
}

void FrmMain::SelectTreeNode(std::size_t position) {
    TreeUnits->setCurrentIndex(m_treeModel->indexOfNode(position));
}

std::optional<std::size_t> FrmMain::CurrentTreeNode() const {
    const TreeNode* node = m_treeModel->node(TreeUnits->currentIndex());
    if (!node) return std::nullopt;
    return static_cast<std::size_t>(node - m_treeModel->nodes().data());
}

void FrmMain::SelectTab(std::int32_t tab) {
    if (TabView->currentIndex() != tab) TabView->setCurrentIndex(tab);
}

void FrmMain::ListChanging(window::ListChange change) {
    m_listModel->beginChange(change);
}

void FrmMain::ListChanged(window::ListChange change, std::size_t) {
    m_listModel->endChange(change);
}

void FrmMain::ShowSortColumn(std::size_t column) {
    ListUnits->header()->setSortIndicatorShown(true);
    ListUnits->header()->setSortIndicator(static_cast<int>(column), Qt::AscendingOrder);
}

std::optional<std::size_t> FrmMain::CurrentListRow() const {
    const int row = ListUnits->currentIndex().row();
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void FrmMain::SelectListRow(std::size_t row) {
    const QModelIndex index = m_listModel->index(static_cast<int>(row), 0);
    ListUnits->setCurrentIndex(index);
    ListUnits->scrollTo(index, QAbstractItemView::PositionAtCenter);
    ListUnits->setFocus(Qt::OtherFocusReason);
}

void FrmMain::SetStatusText(window::StatusPanel panel, const std::string& text) {
    (panel == window::StatusPanel::Message ? StatusPanel1 : StatusPanel2)
        ->setText(QString::fromStdString(text));
}

void FrmMain::RefreshFingerprint() {
    Fingerprint->refresh();
}

}  // namespace kloxmere::ui

// The presenter's state and its events: the tabs, the tree, the list and the
// layout with the splitter bar.

#include "window/MainPresenter.h"

#include "app/Session.h"
#include "base/BusyPointer.h"
#include "catalogue/ListRows.h"
#include "units/UnitView.h"
#include "units/clsUnit.h"

namespace kloxmere::window {

MainPresenter::MainPresenter(Session& session, MainView& view, StartupOptions options)
    : m_session(session), m_view(view), m_options(std::move(options)), m_list(session.catalogue) {}

std::int32_t MainPresenter::currentTab() const {
    return m_session.view.CurrentTab;
}

void MainPresenter::InitializeInterface() {
    m_drag = SplitterDrag();
    m_view.InitializeControls();
    m_session.view.ShowCavedog = true;
    m_session.view.ShowThirdParty = true;
    m_session.view.CurrentTab = kUnitsTab;
    setColumns(kUnitsTab);
    m_view.RefreshFingerprint();
}

void MainPresenter::setColumns(std::int32_t tab) {
    std::vector<Column> columns = tab >= 0 && tab < static_cast<std::int32_t>(kTabCaptions.size())
                                      ? ColumnSet(kTabCaptions[static_cast<std::size_t>(tab)])
                                      : std::vector<Column>{};
    m_view.ListChanging(ListChange::Reset);
    m_list.setColumns(columns);
    m_view.ListChanged(ListChange::Reset, m_list.rowCount());
    m_view.SetListColumns(columns);
    listReset();
}

void MainPresenter::setListItems(std::vector<ListItem> items) {
    m_view.ListChanging(ListChange::Reset);
    m_list.setItems(m_session.view.CurrentTab, std::move(items));
    m_view.ListChanged(ListChange::Reset, m_list.rowCount());
    listReset();
}

// Whatever replaced the rows, the status panel and the partners follow.
void MainPresenter::listReset() {
    showFilterStatus();
    showPartners();
}

// --- The tabs, the tree and the list ---

void MainPresenter::TabSelected(std::int32_t tab) {
    BusyPointer busy(m_session.services);
    setColumns(tab);
    m_session.view.CurrentTab = tab;
    FillUnitList();
}

void MainPresenter::TreeNodeSelected() {
    if (m_fillingTree) return;
    const std::optional<std::size_t> position = m_view.CurrentTreeNode();
    if (!position || *position >= m_treeNodes.size()) return;
    const TreeNode& node = m_treeNodes[*position];
    if (node.key == m_lastTreeKey) return;
    FillUnitList();
    m_lastTreeKey = node.key;
}

void MainPresenter::ListRowSelected(std::size_t row) {
    showPartners();
    if (m_session.view.CurrentTab != kUnitsTab) return;
    const std::optional<std::string> key = m_list.rowKey(row);
    if (!key) return;
    if (clsUnit* const* unit = m_session.catalogue.UnitList.Find(*key)) {
        m_session.catalogue.CurrentUnit = *unit;
        DisplayCurrentUnit();
    }
}

void MainPresenter::ListRowCleared() {
    showPartners();
}

void MainPresenter::ListRowActivated() {
    const std::int32_t tab = m_session.view.CurrentTab;
    if (tab == kUnitsTab || tab == kConflictsTab) Run(CommandId::ExportToUnitViewer);
}

void MainPresenter::ListColumnClicked(int column) {
    if (column < 1) return;
    BusyPointer busy(m_session.services);
    m_view.ListChanging(ListChange::Sorted);
    m_list.sortByColumn(static_cast<std::size_t>(column - 1));
    m_view.ListChanged(ListChange::Sorted, m_list.rowCount());
    m_view.ShowSortColumn(static_cast<std::size_t>(column - 1));
}

void MainPresenter::syncSelectedNode() {
    const std::optional<std::size_t> position = m_view.CurrentTreeNode();
    if (!position || *position >= m_treeNodes.size()) return;
    if (auto ref = FindTreeNode(m_treeNodes, m_treeNodes[*position].key))
        m_session.view.selectedNode = *ref;
}

void MainPresenter::FillUnitTree() {
    m_fillingTree = true;
    m_treeNodes = kloxmere::FillUnitTree(m_session.catalogue);
    m_view.ShowTree(m_treeNodes);
    if (!m_treeNodes.empty()) m_view.SelectTreeNode(0);
    m_fillingTree = false;
}

// Every failure is passed over: the list shows what could be filled.
void MainPresenter::FillUnitList() {
    syncSelectedNode();
    std::vector<ListItem> items;
    try {
        items = FillUnitItems(m_session.catalogue, m_session.view, m_session.services);
    } catch (const std::exception&) {
        items.clear();
    }
    setListItems(std::move(items));
}

void MainPresenter::RefreshListState() {
    const std::int32_t tab = m_session.view.CurrentTab;
    if (tab == kUnitsTab || tab == kConflictsTab) {
        m_list.markStale();
        if (m_list.rowCount() > 0 && !m_list.columns().empty()) {
            m_view.ListChanging(ListChange::Refreshed);
            m_view.ListChanged(ListChange::Refreshed, m_list.rowCount());
        }
    }
    m_view.RefreshFingerprint();  // a switch changes the enabled set
}

void MainPresenter::DisplayCurrentUnit() {
    const clsUnit* unit = m_session.catalogue.CurrentUnit;
    UnitView* display = m_view.UnitDisplay();
    if (!unit || !display) return;
    unit->Display(*display, m_session.services);
}

// --- The layout and the splitter bar ---

void MainPresenter::Resized() {
    layOut();
}

void MainPresenter::layOut() {
    const InnerMetrics inner = m_view.LayOutBars();
    FormResize(m_layout, inner.width, inner.height, inner.statusHeight, inner.picViewBorder);
    m_view.ApplyLayout(m_layout);
}

void MainPresenter::SplitterMouseDown(int button, double x) {
    const InnerMetrics inner = m_view.LayOutBars();
    const bool ended = m_drag.mouseDown(m_layout.PicSplitter, button, x, inner.width, inner.height);
    if (m_drag.dragging()) {
        m_view.SetSplitterDragging(true);
    } else if (ended) {
        m_view.SetSplitterDragging(false);
        layOut();
        DisplayCurrentUnit();
    }
}

void MainPresenter::SplitterMouseMove(int, double x) {
    if (!m_drag.dragging()) return;
    const InnerMetrics inner = m_view.LayOutBars();
    m_drag.mouseMove(m_layout.PicSplitter, x, inner.width, inner.height);
    m_view.ApplyLayout(m_layout);
}

void MainPresenter::SplitterMouseUp(int, double x) {
    const InnerMetrics inner = m_view.LayOutBars();
    if (!m_drag.mouseUp(m_layout.PicSplitter, x, inner.width, inner.height)) return;
    m_view.SetSplitterDragging(false);
    layOut();
    DisplayCurrentUnit();
}

}  // namespace kloxmere::window

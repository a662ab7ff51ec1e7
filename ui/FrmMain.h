#pragma once

// The main window: the tree of sides, classes and unit groups on the left
// above the unit panel, the tabs and the list on the right, the menus, the
// toolbar and the status bar. What its commands and events do is the
// presenter's (window/MainPresenter); the window shows what the presenter
// tells it (window/MainView) and passes the user's clicks and keys on.
//
// The window is split over files: FrmMain.cpp builds the controls from the
// command table and lays them out (with the splitter bar),
// FrmMainCommands.cpp passes the events on and shows the tree and the list,
// FrmMainStartup.cpp holds the start-up's window parts and the windows over
// the main window, FrmMainSettings.cpp the frame's placement,
// FrmMainConflicts.cpp the filter, the partners panel and the conflict menu.

#include <QMainWindow>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "graphics/clsFastWin.h"
#include "window/MainLayout.h"
#include "window/MainPresenter.h"
#include "window/MainView.h"

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QTabBar;
class QToolBar;
class QTreeView;

namespace kloxmere {
class Session;
class SettingsStore;
}  // namespace kloxmere

namespace kloxmere::ui {

using window::kDesignInnerHeight;
using window::kDesignInnerWidth;
using window::MainLayout;
using window::SplitterDrag;
using window::TwipsBox;
using StartupTimings = window::StartupTimings;

class FingerprintPanel;
class ConflictPartnersPanel;
class FilterBox;
class ForwardingServices;
class SplitterBar;
class UnitListModel;
class UnitPanel;
class UnitPanelView;
class UnitTreeModel;

// How the window starts. The program runs the scan on a worker thread behind
// the splash window; tests may skip the splash and scan on this thread.
struct StartupOptions {
    // The session's services, when they are a ForwardingServices: the scan
    // then runs on a worker thread. Otherwise it runs on the window thread.
    ForwardingServices* forwarding = nullptr;
    bool splash = true;
    unsigned scanThreads = 0;  // 0: one per processor core
    bool scanCache = true;     // the scan's warm-start cache in the user data directory
    std::string commandLine;   // the program's arguments joined by blanks
    // Where the settings are kept (the program gives the QSettings store);
    // nullptr: neither settings nor unit groups are read or written.
    SettingsStore* settings = nullptr;
    // The program to register as the opener of schema files; "": none is.
    std::string programPath;
    StartupTimings* timings = nullptr;  // filled when given
};

class FrmMain : public QMainWindow, private window::MainView {
    Q_OBJECT
  public:
    explicit FrmMain(Session& session, StartupOptions options = {}, QWidget* parent = nullptr);
    ~FrmMain() override;

    using StartResult = window::MainPresenter::StartResult;
    // Runs the start-up sequence; Ended when the program is to end without
    // its window (a schema applied from the command line, no TA directory).
    StartResult Form_Load();

    // Controls, by their names.
    QToolBar* Toolbar;
    SplitterBar* PicSplitter;
    QTabBar* TabView;
    UnitPanel* PicView;
    QTreeView* ListUnits;
    QTreeView* TreeUnits;
    QStatusBar* Status;
    QLabel* StatusPanel1;
    QLabel* StatusPanel2;
    FingerprintPanel* Fingerprint;
    FilterBox* TxtFilter;                 // above the list
    ConflictPartnersPanel* PicPartners;   // below the list, on the Conflicts tab
    std::unique_ptr<clsFastWin> UnitPic;  // the unit picture's surface, made by InitializeGraphics

    QMenu* mnuFile;
    QMenu* mnuView;
    QMenu* mnuSchemas;
    QMenu* mnuEdit;
    QMenu* mnuHelp;
    QAction* mnuEditSetTALocation;
    QAction* mnuEditSetUnitView;
    QAction* mnuFileSaveHPIListing;
    QAction* mnuFileExit;
    QAction* mnuViewHPI;
    QAction* mnuViewUFO;
    QAction* mnuUnitsGroups;
    QAction* mnuSchemasImport;
    QAction* mnuSchemasExport;
    QAction* mnuEditEnableGroup;
    QAction* mnuEditDisableGroup;
    QAction* mnuUnitsEnable;
    QAction* mnuUnitsUndo;
    QAction* mnuViewUnitViewer;
    QAction* mnuHelpAbout;
    QMenu* mnuUnitsConflict;  // the selected Conflicts row's commands

    // The toolbar button of `key` ("open", "save", ...), or nullptr.
    QAction* toolbarButton(const QString& key) const;
    // The menu item of `command`, or nullptr for the toolbar's own.
    QAction* menuItem(window::CommandId command) const;

    window::MainPresenter& presenter() const { return *m_presenter; }
    UnitTreeModel& treeModel() const { return *m_treeModel; }
    UnitListModel& listModel() const { return *m_listModel; }
    const MainLayout& layoutTwips() const { return m_presenter->layout(); }
    const std::string& LastTreeKey() const { return m_presenter->LastTreeKey(); }

    // Start-up pieces, public for tests that bring the window up on a
    // catalogue they made.
    void InitializeInterface() { m_presenter->InitializeInterface(); }
    bool InitializeGraphics() { return m_presenter->InitializeGraphics(); }
    void FillUnitTree() { m_presenter->FillUnitTree(); }
    void FillUnitList() { m_presenter->FillUnitList(); }
    void RefreshListState() { m_presenter->RefreshListState(); }
    void DisplayCurrentUnit() { m_presenter->DisplayCurrentUnit(); }

  public slots:
    void Toolbar_ButtonClick(const QString& key);
    void TabView_Click();
    void TreeUnits_Click();
    void ListUnits_ItemClick(int row);
    void ListUnits_DblClick();
    void ListUnits_ColumnClick(int column);  // 1-based

    void Form_Resize();
    void PicSplitter_MouseDown(int button, double x);
    void PicSplitter_MouseMove(int button, double x);
    void PicSplitter_MouseUp(int button, double x);
    void ListUnits_ContextMenu(const QPoint& position);
    // Shows the unit of UnitList key `key` in the Units tab on the units root.
    void showInUnits(const std::string& key);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // window::MainView, in FrmMain.cpp
    window::InnerMetrics LayOutBars() override;
    void ApplyLayout(const MainLayout& layout) override;
    void SetSplitterDragging(bool dragging) override;
    void InitializeControls() override;
    void CheckCommand(window::CommandId id, bool checked) override;
    void EnableCommand(window::CommandId id, bool enabled) override;
    void SetCommandCaption(window::CommandId id, const std::string& caption) override;
    // FrmMainCommands.cpp
    void ShowTree(const std::vector<TreeNode>& nodes) override;
    void SelectTreeNode(std::size_t position) override;
    std::optional<std::size_t> CurrentTreeNode() const override;
    void SelectTab(std::int32_t tab) override;
    void SetListColumns(const std::vector<Column>& columns) override;
    void ListChanging(window::ListChange change) override;
    void ListChanged(window::ListChange change, std::size_t rows) override;
    void ShowSortColumn(std::size_t column) override;
    std::optional<std::size_t> CurrentListRow() const override;
    void SelectListRow(std::size_t row) override;
    void SetStatusText(window::StatusPanel panel, const std::string& text) override;
    void RefreshFingerprint() override;
    // FrmMainStartup.cpp
    void ShowMainWindow() override;
    void CloseMainWindow() override;
    void ShowSplash() override;
    bool ScanInBackground(const ScanOptions& scan, bool splash) override;
    bool InitializeGraphics(const GamePalette& palette) override;
    UnitView* UnitDisplay() override;
    void EditGroups() override;
    void ShowAbout(const std::string& userDataDirectory) override;
    // FrmMainSettings.cpp
    WindowPlacement FramePlacement() const override;
    void PlaceFrame(const WindowPlacement& wanted, const WindowPlacement& current) override;
    // FrmMainConflicts.cpp
    void SetFilterText(const std::string& text) override;
    void ShowPartners(const Catalogue* catalogue, const ListItem* item) override;
    bool PreviewSchema(const std::string& name, const SchemaDiff& diff) override;

    void buildControls();
    void buildMenus();
    void buildToolbar();
    void connectControls();
    void buildConflictTools();
    void placeListExtras();
    void fillMenu(QMenu* menu, std::vector<window::MenuCommand> commands);

    Session& m_session;
    StartupOptions m_options;
    std::unique_ptr<window::MainPresenter> m_presenter;
    QWidget* m_inner;  // the inner area: the toolbar, the controls, the status bar
    UnitTreeModel* m_treeModel;
    UnitListModel* m_listModel;
    std::map<QString, QAction*> m_toolbarButtons;
    std::array<QAction*, window::kCommandCount> m_menuItems{};
    std::unique_ptr<UnitPanelView> m_unitView;  // made with UnitPic
};

}  // namespace kloxmere::ui

#pragma once

// The main window: the tree of sides, classes and unit groups on the left
// above the unit panel, the tabs and the list on the right, the menus, the
// toolbar and the status bar; and every command the user gives from them.
//
// The window is split over three files: FrmMain.cpp builds the controls and
// lays them out (with the splitter bar), FrmMainCommands.cpp holds the
// command handlers, FrmMainStartup.cpp the start-up and shut-down sequences.

#include <QMainWindow>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "graphics/clsFastWin.h"
#include "ui/MainLayout.h"

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
class clsUnit;
struct RenameReport;
struct WindowPlacement;
}  // namespace kloxmere

namespace kloxmere::ui {

class FingerprintPanel;
class ConflictPartnersPanel;
class FilterBox;
class ForwardingServices;
class SplitterBar;
class UnitListModel;
class UnitPanel;
class UnitTreeModel;

// When the start-up reached its milestones, for the benchmark.
struct StartupTimings {
    std::chrono::steady_clock::time_point scanEnded, shown, unitDisplayed;
};

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

class FrmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit FrmMain(Session& session, StartupOptions options = {}, QWidget* parent = nullptr);
    ~FrmMain() override;

    enum class StartResult { Shown, Ended };
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

    UnitTreeModel& treeModel() const { return *m_treeModel; }
    UnitListModel& listModel() const { return *m_listModel; }
    const MainLayout& layoutTwips() const { return m_layout; }
    const std::string& LastTreeKey() const { return m_lastTreeKey; }

    // Start-up pieces, public for tests that bring the window up on a
    // catalogue they made.
    void InitializeInterface();
    bool InitializeGraphics();
    void FillUnitTree();
    void FillUnitList();
    void RefreshListState();
    void DisplayCurrentUnit();

  public slots:
    void mnuEditSetTALocation_Click();
    void mnuEditSetUnitView_Click();
    void mnuFileSaveHPIListing_Click();
    void mnuFileExit_Click();
    void mnuViewHPI_Click();
    void mnuViewUFO_Click();
    void mnuUnitsGroups_Click();
    void mnuSchemasImport_Click();
    void mnuSchemasExport_Click();
    void mnuEditEnableGroup_Click();
    void mnuEditDisableGroup_Click();
    void mnuUnitsEnable_Click();
    void mnuUnitsUndo_Click();
    void mnuViewUnitViewer_Click();
    void mnuHelpAbout_Click();
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
    StartResult Initialize();
    void showSplash();
    void LoadPalette();  // from the program directory, else the scanned TA directory
    void markTime(std::chrono::steady_clock::time_point StartupTimings::*milestone);
    void Form_Unload();
    // In FrmMainSettings.cpp: the file association, the command line and the settings.
    void registerFileType();
    bool InitializeCommands();  // true: the command line named a schema; the program ends
    void SettingsLoad();
    void SettingsSave();
    WindowPlacement currentPlacement() const;
    void applyPlacement(const WindowPlacement& placement);
    void buildControls();
    void buildMenus();
    void buildToolbar();
    void connectControls();
    void applyLayout();
    void setColumns(int tab);
    void setViewSwitch(bool cavedog, bool checked);
    void launchTA();
    void syncSelectedNode();
    void switchGroup(bool enable);
    void reportRefusedRenames(const RenameReport& report);
    // In FrmMainConflicts.cpp: the filter, the conflict partners and their commands.
    void buildConflictTools();
    void placeListExtras();
    void applyFilter();
    void showFilterStatus();
    void showPartners();
    void fillConflictCommands(QMenu* menu);
    void disableArchiveOf(clsUnit& unit);
    // In FrmMainConflicts.cpp: false when the user cancelled the schema's preview.
    bool previewSchema(const std::string& path);
    // In FrmMainSwitching.cpp: Undo Last Switch and the recovery of an interrupted switch.
    void updateUndoItem();
    void offerSwitchRecovery();
    double innerWidth() const;
    double innerHeight() const;
    double statusHeight() const;

    Session& m_session;
    StartupOptions m_options;
    QWidget* m_inner;  // the inner area: the toolbar, the controls, the status bar
    UnitTreeModel* m_treeModel;
    UnitListModel* m_listModel;
    std::map<QString, QAction*> m_toolbarButtons;
    MainLayout m_layout;
    SplitterDrag m_drag;
    std::optional<GamePalette> m_palette;  // loaded after the scan
    std::string m_lastTreeKey;
    bool m_fillingTree = false;     // the tree's own selection while it is filled is no click
    bool m_settingsLoaded = false;  // only a start that read the settings writes them back
    bool m_unloaded = false;
};

}  // namespace kloxmere::ui

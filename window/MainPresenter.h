#pragma once

// The main window's behaviour, once for every window system: each menu and
// toolbar command, the start-up and shut-down sequences, the view switches,
// the tab, tree and list events, the filter, the conflict commands, the
// splitter and the layout. It talks to the window through MainView and to
// the user through the session's PlatformServices; it never names a widget.
//
// The presenter is split over files by theme: MainPresenter.cpp (state, list,
// tree, layout), MainPresenterCommands.cpp (the commands),
// MainPresenterStartup.cpp (start-up, settings, shut-down),
// MainPresenterConflicts.cpp (filter, partners, conflict commands, schema preview).

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/UnitTree.h"
#include "graphics/Palette.h"
#include "window/CommandTable.h"
#include "window/ListContents.h"
#include "window/MainLayout.h"
#include "window/MainView.h"

namespace kloxmere {
class Session;
class SettingsStore;
class clsUnit;
struct RenameReport;
struct WindowPlacement;
}  // namespace kloxmere

namespace kloxmere::window {

// When the start-up reached its milestones, for the benchmark.
struct StartupTimings {
    std::chrono::steady_clock::time_point scanEnded, shown, unitDisplayed;
};

// How the window starts.
struct StartupOptions {
    bool splash = true;
    unsigned scanThreads = 0;  // 0: one per processor core
    bool scanCache = true;     // the scan's warm-start cache in the user data directory
    std::string commandLine;   // the program's arguments joined by blanks
    // Where the settings are kept; nullptr: neither settings nor unit
    // groups are read or written.
    SettingsStore* settings = nullptr;
    // The program to register as the opener of schema files; "": none is.
    std::string programPath;
    StartupTimings* timings = nullptr;  // filled when given
};

class MainPresenter {
  public:
    MainPresenter(Session& session, MainView& view, StartupOptions options = {});
    MainPresenter(const MainPresenter&) = delete;
    MainPresenter& operator=(const MainPresenter&) = delete;

    enum class StartResult { Shown, Ended };
    // The start-up sequence; Ended when the program is to end without its
    // window (a schema applied from the command line, no TA directory).
    StartResult Start();
    // The shut-down: the settings are saved (once, and only by a start that
    // read them).
    void Unload();

    // Carries out a menu or toolbar command.
    void Run(CommandId command);
    // The toolbar button of `key` was pressed; false for an unknown key.
    bool RunToolbarButton(std::string_view key);

    // --- Events of the window ---
    void TabSelected(std::int32_t tab);
    // The current tree node changed or was clicked.
    void TreeNodeSelected();
    void ListRowSelected(std::size_t row);
    void ListRowCleared();               // no row is current any more
    void ListRowActivated();             // a double click, Enter
    void ListColumnClicked(int column);  // 1-based
    void FilterChanged(const std::string& text);
    void Resized();  // the inner area changed size
    void SplitterMouseDown(int button, double x);
    void SplitterMouseMove(int button, double x);
    void SplitterMouseUp(int button, double x);
    // The Units menu opens: its Undo item is worded again.
    void UnitsMenuOpening();
    // The commands for the current Conflicts row (the list's context menu,
    // the Units menu's Conflict submenu).
    std::vector<MenuCommand> ConflictCommands();
    // Shows the unit of UnitList key `key` in the Units tab on the units root.
    void ShowInUnits(const std::string& key);

    // --- Start-up pieces, public for tests that bring the window up on a
    // catalogue they made ---
    void InitializeInterface();
    bool InitializeGraphics();
    void FillUnitTree();
    void FillUnitList();
    void RefreshListState();
    void DisplayCurrentUnit();
    void UpdateUndoItem();

    // --- State ---
    Session& session() const { return m_session; }
    const ListContents& list() const { return m_list; }
    const std::vector<TreeNode>& treeNodes() const { return m_treeNodes; }
    const MainLayout& layout() const { return m_layout; }
    const SplitterDrag& splitterDrag() const { return m_drag; }
    const std::string& LastTreeKey() const { return m_lastTreeKey; }
    std::int32_t currentTab() const;
    bool unloaded() const { return m_unloaded; }

  private:
    // MainPresenterStartup.cpp
    StartResult Initialize();
    void markTime(std::chrono::steady_clock::time_point StartupTimings::*milestone);
    void LoadPalette();
    void registerFileType();
    bool InitializeCommands();
    void SettingsLoad();
    void SettingsSave();
    WindowPlacement currentPlacement() const;
    void applyPlacement(const WindowPlacement& placement);
    // MainPresenterCommands.cpp
    void setTALocation();
    void setUnitViewerLocation();
    void exportFastLoadList();
    void setViewSwitch(bool cavedog, bool checked);
    void editUnitGroups();
    void importSchema();
    void exportSchema();
    void switchGroup(bool enable);
    void switchUnit();
    void undoSwitch();
    void exportToUnitViewer();
    void launchTA();
    void reportRefusedRenames(const RenameReport& report);
    // MainPresenter.cpp
    void setColumns(std::int32_t tab);
    void setListItems(std::vector<ListItem> items);
    void listReset();
    void syncSelectedNode();
    void layOut();
    // MainPresenterConflicts.cpp
    void applyFilter(const std::string& text);
    void showFilterStatus();
    void showPartners();
    void disableArchiveOf(clsUnit& unit);
    bool previewSchema(const std::string& path);

    Session& m_session;
    MainView& m_view;
    StartupOptions m_options;
    ListContents m_list;
    std::vector<TreeNode> m_treeNodes;
    MainLayout m_layout;
    SplitterDrag m_drag;
    std::optional<GamePalette> m_palette;  // loaded after the scan
    std::string m_lastTreeKey;
    bool m_fillingTree = false;     // the tree's own selection while it is filled is no click
    bool m_settingsLoaded = false;  // only a start that read the settings writes them back
    bool m_unloaded = false;
};

}  // namespace kloxmere::window

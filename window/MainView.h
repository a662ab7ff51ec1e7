#pragma once

// What the main window's presenter asks of the window system: the abstract
// main window. The Qt window and the Windows window implement it; the tests
// implement it with a recording fake. Every call comes on the window thread.
// Messages, questions, file dialogs, the directory picker and the busy
// pointer go through the session's PlatformServices, not through the view.
//
// Calls that select something (SelectTab, SelectTreeNode, SetFilterText)
// may or may not come back to the presenter as the matching event; the
// presenter works either way.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/ScanInstallation.h"
#include "app/Settings.h"
#include "catalogue/ListRows.h"
#include "catalogue/UnitTree.h"
#include "graphics/Palette.h"
#include "window/CommandTable.h"
#include "window/MainLayout.h"

namespace kloxmere {
class Catalogue;
class UnitView;
struct SchemaDiff;
struct RenameReport;
}  // namespace kloxmere

namespace kloxmere::window {

// The inner area (below the menu bar) as the layout needs it, in twips.
struct InnerMetrics {
    double width = 0;
    double height = 0;
    double statusHeight = 0;   // the status bar at its bottom
    double picViewBorder = 0;  // the unit panel's frame on each side
};

// How the list's rows changed, for the list control to follow.
enum class ListChange {
    Reset,      // new columns or rows: the row count and every row
    Sorted,     // the same rows in another order: the selection follows its row
    Refreshed,  // the same rows, their icons and texts may differ
};

// The status bar's panels: the message panel, the current unit's name.
enum class StatusPanel { Message = 1, Unit = 2 };

// One line of a menu the presenter fills (the Conflicts row's commands).
struct MenuCommand {
    std::string caption;  // "" for a separator
    bool enabled = true;
    std::function<void()> run;  // empty for a separator and a disabled line
    bool separator() const { return caption.empty(); }
};

class MainView {
  public:
    virtual ~MainView() = default;

    // --- The window ---
    // Shows the main window (at the end of the start-up).
    virtual void ShowMainWindow() = 0;
    // Closes the main window; the window then tells the presenter Unload().
    virtual void CloseMainWindow() = 0;
    // The splash window, modal, for its time on screen.
    virtual void ShowSplash() = 0;
    // Runs the installation scan on a worker thread behind the splash window
    // (when `splash`), the scan's questions and progress shown by the window
    // thread; returns when it ended. False when this window cannot (the
    // presenter then shows the splash and scans on the window thread).
    // Rethrows what the scan threw.
    virtual bool ScanInBackground(const ScanOptions& scan, bool splash) = 0;
    // Makes the unit picture's drawing surface in `palette`; false when it
    // cannot be made.
    virtual bool InitializeGraphics(const GamePalette& palette) = 0;
    // What a unit's Display writes to; nullptr before InitializeGraphics succeeded.
    virtual UnitView* UnitDisplay() = 0;
    // The look the controls take at start-up (the flat toolbar, the
    // splitter's drag colour).
    virtual void InitializeControls() = 0;

    // --- Layout ---
    // Places the toolbar and the status bar across the inner area and
    // measures it.
    virtual InnerMetrics LayOutBars() = 0;
    // Places the controls where `layout` says.
    virtual void ApplyLayout(const MainLayout& layout) = 0;
    // The splitter bar's colour while it is dragged.
    virtual void SetSplitterDragging(bool dragging) = 0;
    // The window's frame in twips and its state (SliderLeft is not the view's).
    virtual WindowPlacement FramePlacement() const = 0;
    // Moves, sizes and shows the frame as `wanted` says where it differs
    // from `current` (SliderLeft is the presenter's).
    virtual void PlaceFrame(const WindowPlacement& wanted, const WindowPlacement& current) = 0;

    // --- Commands (the menu item and its toolbar button alike) ---
    virtual void CheckCommand(CommandId id, bool checked) = 0;
    virtual void EnableCommand(CommandId id, bool enabled) = 0;
    // A menu caption that changes (Undo names the switch it reverses).
    virtual void SetCommandCaption(CommandId id, const std::string& caption) = 0;

    // --- The tree ---
    // Replaces the tree's nodes (parents before children), expanding those
    // marked so; nothing is selected yet.
    virtual void ShowTree(const std::vector<TreeNode>& nodes) = 0;
    // Makes the node at `position` (in the order given) the current one.
    virtual void SelectTreeNode(std::size_t position) = 0;
    // The current node's position, or nullopt.
    virtual std::optional<std::size_t> CurrentTreeNode() const = 0;

    // --- The tabs and the list ---
    virtual void SelectTab(std::int32_t tab) = 0;
    // The list's column headers and widths (the rows come with ListChanged).
    virtual void SetListColumns(const std::vector<Column>& columns) = 0;
    // Before and after the presenter's ListContents change.
    virtual void ListChanging(ListChange change) { (void)change; }
    virtual void ListChanged(ListChange change, std::size_t rows) = 0;
    // The sort column's mark in the header (0 is the first column).
    virtual void ShowSortColumn(std::size_t column) = 0;
    // The current row, or nullopt.
    virtual std::optional<std::size_t> CurrentListRow() const = 0;
    // Makes `row` the current row, scrolled to the middle, and focuses the list.
    virtual void SelectListRow(std::size_t row) = 0;
    // The filter field's text (an event follows or not).
    virtual void SetFilterText(const std::string& text) = 0;

    // --- Panels ---
    virtual void SetStatusText(StatusPanel panel, const std::string& text) = 0;
    // The enabled set's fingerprint in the status bar.
    virtual void RefreshFingerprint() = 0;
    // The partners panel below the list, for the Conflicts row `item`
    // (nullptr: none selected).
    virtual void ShowPartners(const Catalogue* catalogue, const ListItem* item) = 0;

    // --- Windows over the main window, modal ---
    // The group editor on the catalogue's groups; returns when it closed.
    virtual void EditGroups() = 0;
    // The About window; `userDataDirectory` is the one it links to.
    virtual void ShowAbout(const std::string& userDataDirectory) = 0;
    // The schema's preview before its import; true to import.
    virtual bool PreviewSchema(const std::string& name, const SchemaDiff& diff) = 0;
};

}  // namespace kloxmere::window

#pragma once

// A MainView fake for the presenter's tests: records every call as a line of
// text and keeps what a window would show (the tree, the list's row count,
// the check marks, the captions, the status panels), and lets a test select
// the current tree node and list row as a click would. The unit panel is a
// recording UnitView drawing into an in-memory surface.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/SchemaDiff.h"
#include "graphics/clsFastWin.h"
#include "tests/support/MemorySurface.h"
#include "units/UnitView.h"
#include "window/MainView.h"

namespace kloxmere::test {

class RecordingUnitView final : public UnitView, public FastWinDC {
  public:
    std::string statusName, callname, unitTooltip, unitCaption;
    int unitImage = 0;
    std::vector<std::string> weapons;
    int displays = 0;  // SetCallname calls: one a Display

    explicit RecordingUnitView(const GamePalette& palette) : m_surface(palette) {
        m_surface.Initialize(96, 96, &m_window);
    }
    void SetStatusName(const std::string& name) override { statusName = name; }
    void SetCallname(const std::string& name) override {
        callname = name;
        ++displays;
    }
    void SetUnitCommand(int image, const std::string& tooltip,
                        const std::string& caption) override {
        unitImage = image;
        unitTooltip = tooltip;
        unitCaption = caption;
    }
    void ClearPicture() override {}
    void SetWeapons(const std::vector<std::string>& lines) override { weapons = lines; }
    double PictureScaleWidth() const override { return 137; }
    clsFastWin& UnitPic() override { return m_surface; }
    FastWinDC& PictureDC() override { return *this; }
    void BitBlt(std::int32_t, std::int32_t, std::int32_t, std::int32_t, FastWinBitmap&,
                std::int32_t, std::int32_t) override {}
    void StretchBlt(std::int32_t, std::int32_t, std::int32_t, std::int32_t, FastWinBitmap&,
                    std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}

  private:
    MemoryWindow m_window;
    clsFastWin m_surface;
};

class RecordingMainView final : public window::MainView {
  public:
    std::vector<std::string> calls;
    bool shown = false;
    int closes = 0;
    std::vector<TreeNode> tree;
    std::optional<std::size_t> currentNode;
    std::int32_t tab = 0;
    std::vector<Column> columns;
    std::size_t rows = 0;
    std::optional<std::size_t> currentRow;
    std::optional<std::size_t> sortColumn;
    std::string filterText;
    std::map<window::CommandId, bool> checked, enabled;
    std::map<window::CommandId, std::string> captions;
    std::map<window::StatusPanel, std::string> status;
    window::MainLayout layout;
    bool splitterDragging = false;
    int fingerprints = 0;
    const ListItem* partnersItem = nullptr;
    int partnersShown = 0;
    WindowPlacement frame{0, 1200, 900, 9900, 7500, WindowState::Normal};
    window::InnerMetrics inner{9795, 6600, 300, 30};

    // Answers of the modal windows, and what runs inside the group editor.
    bool previewAnswer = true;
    std::vector<std::string> previews;
    std::function<void()> whileEditingGroups;
    bool graphicsFail = false;
    std::unique_ptr<RecordingUnitView> unit;

    // What a click on the tree node / the list row does: the control's
    // current item changes and the window tells the presenter.
    template <class Presenter>
    void clickNode(Presenter& presenter, std::size_t position) {
        currentNode = position;
        presenter.TreeNodeSelected();
    }
    template <class Presenter>
    void clickRow(Presenter& presenter, std::size_t row) {
        currentRow = row;
        presenter.ListRowSelected(row);
    }
    std::optional<std::size_t> nodeOf(const std::string& key) const {
        for (std::size_t i = 0; i < tree.size(); ++i) {
            if (tree[i].key == key) return i;
        }
        return std::nullopt;
    }

    void ShowMainWindow() override {
        shown = true;
        calls.push_back("show");
    }
    void CloseMainWindow() override {
        ++closes;
        calls.push_back("close");
    }
    void ShowSplash() override { calls.push_back("splash"); }
    bool ScanInBackground(const ScanOptions&, bool) override { return false; }
    bool InitializeGraphics(const GamePalette& palette) override {
        if (graphicsFail) return false;
        unit = std::make_unique<RecordingUnitView>(palette);
        return true;
    }
    UnitView* UnitDisplay() override { return unit.get(); }
    void InitializeControls() override { calls.push_back("initialize controls"); }
    window::InnerMetrics LayOutBars() override { return inner; }
    void ApplyLayout(const window::MainLayout& placed) override { layout = placed; }
    void SetSplitterDragging(bool dragging) override { splitterDragging = dragging; }
    WindowPlacement FramePlacement() const override { return frame; }
    void PlaceFrame(const WindowPlacement& wanted, const WindowPlacement&) override {
        const double slider = frame.SliderLeft;
        frame = wanted;
        frame.SliderLeft = slider;
    }
    void CheckCommand(window::CommandId id, bool on) override { checked[id] = on; }
    void EnableCommand(window::CommandId id, bool on) override { enabled[id] = on; }
    void SetCommandCaption(window::CommandId id, const std::string& caption) override {
        captions[id] = caption;
    }
    void ShowTree(const std::vector<TreeNode>& nodes) override {
        tree = nodes;
        currentNode.reset();
    }
    void SelectTreeNode(std::size_t position) override { currentNode = position; }
    std::optional<std::size_t> CurrentTreeNode() const override { return currentNode; }
    void SelectTab(std::int32_t index) override { tab = index; }
    void SetListColumns(const std::vector<Column>& set) override { columns = set; }
    void ListChanged(window::ListChange change, std::size_t count) override {
        rows = count;
        if (change == window::ListChange::Reset) currentRow.reset();
        calls.push_back(change == window::ListChange::Reset    ? "list reset"
                        : change == window::ListChange::Sorted ? "list sorted"
                                                               : "list refreshed");
    }
    void ShowSortColumn(std::size_t column) override { sortColumn = column; }
    std::optional<std::size_t> CurrentListRow() const override { return currentRow; }
    void SelectListRow(std::size_t row) override {
        currentRow = row;
        calls.push_back("select row " + std::to_string(row));
    }
    void SetFilterText(const std::string& text) override { filterText = text; }
    void SetStatusText(window::StatusPanel panel, const std::string& text) override {
        status[panel] = text;
    }
    void RefreshFingerprint() override { ++fingerprints; }
    void ShowPartners(const Catalogue*, const ListItem* item) override {
        partnersItem = item;
        ++partnersShown;
    }
    void EditGroups() override {
        calls.push_back("edit groups");
        if (whileEditingGroups) whileEditingGroups();
    }
    void ShowAbout(const std::string& userDataDirectory) override {
        calls.push_back("about " + userDataDirectory);
    }
    bool PreviewSchema(const std::string& name, const SchemaDiff&) override {
        previews.push_back(name);
        return previewAnswer;
    }
};

}  // namespace kloxmere::test

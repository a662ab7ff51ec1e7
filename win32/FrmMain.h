#pragma once

// The main window of the Windows program: a thin view over the shared
// presenter (window/MainPresenter.h). It makes the controls — menus and
// accelerators from the command table, the toolbar, the tree, the splitter
// bar, the four tabs, the virtual report list (rows are worded by the
// presenter's ListContents only when shown), the unit panel with its picture
// and weapons list, the status bar — forwards their events to the presenter
// and shows what the presenter tells it. Positions are twips converted at the
// window's own DPI.

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "units/UnitView.h"
#include "win32/Handles.h"
#include "win32/PictureBox.h"
#include "window/MainPresenter.h"
#include "window/MainView.h"

namespace kloxmere {
class Session;
class clsFastWin;
}  // namespace kloxmere

namespace kloxmere {
class PlatformServices;
}

namespace kloxmere::win32 {

class ForwardingServices;

class FrmMain final : public window::MainView, public UnitView {
  public:
    // Control ids.
    enum : int {
        IdToolbar = 10,
        IdTreeUnits,
        IdPicSplitter,
        IdTabView,
        IdListUnits,
        IdPicView,
        IdLblUnitname,
        IdPicUnit,
        IdLabel1,
        IdLstWeapons,
        IdStatus,
        IdTxtFilter,
        IdPartnersTitle,
        IdPartners,
        IdFreeNumbers,
    };
    // Ctrl+F: the keyboard's way into the filter field.
    static constexpr UINT kFocusFilter = 1900;

    FrmMain(Session& session, PlatformServices& services, window::StartupOptions options);
    ~FrmMain() override;
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    // Creates the window and its controls, hidden, captioned "Kloxmere".
    void Create();
    window::MainPresenter& presenter() { return m_presenter; }
    HWND hwnd() const { return m_window; }
    HWND Control(int id) const { return GetDlgItem(m_window, id); }
    HMENU MenuBar() const { return m_menu.get(); }
    PictureBox* Picture() const { return m_picture.get(); }
    UINT dpi() const { return m_dpi; }
    // The session's services, when they can be pointed at the scan's worker:
    // the scan then runs on a worker thread behind the splash window.
    void SetForwarding(ForwardingServices* forwarding) { m_forwarding = forwarding; }
    // Runs the message loop until the window is closed; the exit status.
    int Run();
    // Handles one message as the loop does (accelerators, dialog keys);
    // true when it was handled. For tests that pump messages themselves.
    bool PreTranslate(MSG& message);

    // --- MainView ---
    void ShowMainWindow() override;
    void CloseMainWindow() override;
    void ShowSplash() override;
    bool ScanInBackground(const ScanOptions& scan, bool splash) override;
    bool InitializeGraphics(const GamePalette& palette) override;
    UnitView* UnitDisplay() override;
    void InitializeControls() override;
    window::InnerMetrics LayOutBars() override;
    void ApplyLayout(const window::MainLayout& layout) override;
    void SetSplitterDragging(bool dragging) override;
    WindowPlacement FramePlacement() const override;
    void PlaceFrame(const WindowPlacement& wanted, const WindowPlacement& current) override;
    void CheckCommand(window::CommandId id, bool checked) override;
    void EnableCommand(window::CommandId id, bool enabled) override;
    void SetCommandCaption(window::CommandId id, const std::string& caption) override;
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
    void SetFilterText(const std::string& text) override;
    void SetStatusText(window::StatusPanel panel, const std::string& text) override;
    void RefreshFingerprint() override;
    void ShowPartners(const Catalogue* catalogue, const ListItem* item) override;
    void EditGroups() override;
    void ShowAbout(const std::string& userDataDirectory) override;
    bool PreviewSchema(const std::string& name, const SchemaDiff& diff) override;

    // --- UnitView ---
    void SetStatusName(const std::string& name) override;
    void SetCallname(const std::string& callname) override;
    void SetUnitCommand(int image, const std::string& tooltip, const std::string& caption) override;
    void ClearPicture() override;
    void SetWeapons(const std::vector<std::string>& lines) override;
    double PictureScaleWidth() const override;
    clsFastWin& UnitPic() override { return *m_surface; }
    FastWinDC& PictureDC() override { return *m_picture; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SplitterProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(const NMHDR& header);
    void OnCommand(UINT id, HWND control);
    void OnSplitterMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitMenuPopup(HMENU menu);
    void CreateControls();
    void MakeImageLists();
    void ApplyFonts();
    void SetMenuCaption(UINT id, const std::wstring& caption);
    int Pixels(double twips) const;
    double Twips(int pixels) const;
    void Place(int id, const window::TwipsBox& box, double dx = 0, double dy = 0);

    Session& m_session;
    PlatformServices& m_services;
    ForwardingServices* m_forwarding = nullptr;
    window::MainPresenter m_presenter;
    HWND m_window = nullptr;
    UINT m_dpi = 96;
    MenuHandle m_menu;
    HMENU m_conflictMenu = nullptr;  // owned by m_menu
    AcceleratorTable m_accelerators;
    FontHandle m_font;
    FontHandle m_boldFont;
    HIMAGELIST m_toolbarImages = nullptr;
    HIMAGELIST m_treeImages = nullptr;
    HIMAGELIST m_listImages = nullptr;
    std::unique_ptr<PictureBox> m_picture;
    std::unique_ptr<clsFastWin> m_surface;
    std::vector<HTREEITEM> m_treeItems;
    std::vector<window::MenuCommand> m_conflictCommands;
    std::optional<ListItem> m_rowBeforeSort;
    std::wstring m_unitTooltip;
    std::wstring m_cellText;  // the text handed to the list for the cell it asked for
    int m_showCommand = SW_SHOWNORMAL;
    UINT m_lastCommandCode = 0;  // the WM_COMMAND being handled (its notification code)
    bool m_splitterDragging = false;
    bool m_filling = false;  // our own selection changes are no user events
};

}  // namespace kloxmere::win32

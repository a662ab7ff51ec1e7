// The main window as the presenter's view: what it shows when told.

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <algorithm>

#include "app/Session.h"
#include "base/Environment.h"
#include "catalogue/Fingerprint.h"
#include "catalogue/SchemaDiff.h"
#include "graphics/clsFastWin.h"
#include "win32/BackgroundScan.h"
#include "win32/FrmAbout.h"
#include "win32/FrmGroups.h"
#include "win32/FrmLogo.h"
#include "win32/FrmMain.h"
#include "win32/MainMenus.h"
#include "win32/Win32PlatformServices.h"
#include "win32/WindowText.h"
#include "window/ColumnWidths.h"
#include "window/PartnerRows.h"

namespace kloxmere::win32 {

using window::CommandId;

namespace {

constexpr double kToolbarHeight = 420;  // twips

// The width in pixels of `control`'s font's characters: the wider of its
// average character and its digits.
int CharacterWidth(HWND control) {
    HDC dc = GetDC(control);
    if (!dc) return 0;
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE digit{};
    GetTextExtentPoint32W(dc, L"0", 1, &digit);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return std::max<int>(metrics.tmAveCharWidth, digit.cx);
}

}  // namespace

void FrmMain::ShowMainWindow() {
    ShowWindow(m_window, m_showCommand);
    UpdateWindow(m_window);
}

void FrmMain::CloseMainWindow() {
    PostMessageW(m_window, WM_CLOSE, 0, 0);
}

void FrmMain::ShowSplash() {
    FrmLogo logo;
    logo.Create(nullptr);
    logo.RunModal();
}

bool FrmMain::ScanInBackground(const ScanOptions& options, bool splash) {
    if (!m_forwarding) return false;  // the presenter scans on this thread
    RunScanInBackground(m_session, *m_forwarding, options,
                        splash ? std::function<void()>([this] { ShowSplash(); }) : nullptr);
    return true;
}

bool FrmMain::InitializeGraphics(const GamePalette& palette) {
    m_surface = std::make_unique<clsFastWin>(palette);
    return m_surface->Initialize(96, 96, m_picture.get());
}

UnitView* FrmMain::UnitDisplay() {
    return m_surface ? this : nullptr;
}

void FrmMain::InitializeControls() {
    // The toolbar is made flat; the splitter bar takes its drag colour when dragged.
}

window::InnerMetrics FrmMain::LayOutBars() {
    RECT client{};
    GetClientRect(m_window, &client);
    HWND status = Control(IdStatus);
    SendMessageW(status, WM_SIZE, 0, 0);
    RECT statusRect{};
    GetWindowRect(status, &statusRect);
    const int statusPixels = statusRect.bottom - statusRect.top;
    const int width = client.right;
    // The status bar's panels: the message, the unit's name, the fingerprint.
    const int parts[3] = {std::max(width - Pixels(5400), Pixels(1500)),
                          std::max(width - Pixels(2700), Pixels(3000)), -1};
    SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    MoveWindow(Control(IdToolbar), 0, 0, width, Pixels(kToolbarHeight), TRUE);
    window::InnerMetrics inner;
    inner.width = Twips(client.right);
    inner.height = Twips(client.bottom);
    inner.statusHeight = Twips(statusPixels);
    inner.picViewBorder = Twips(GetSystemMetricsForDpi(SM_CXEDGE, m_dpi));
    return inner;
}

// A control already where it belongs is left alone: moving it would repaint
// it, and a tab switch lays out every control again.
void FrmMain::Place(int id, const window::TwipsBox& box, double dx, double dy) {
    HWND control = Control(id);
    const RECT wanted{Pixels(box.left + dx), Pixels(box.top + dy),
                      Pixels(box.left + dx) + Pixels(box.width),
                      Pixels(box.top + dy) + Pixels(box.height)};
    RECT now{};
    GetWindowRect(control, &now);
    MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&now), 2);
    if (EqualRect(&now, &wanted)) return;
    MoveWindow(control, wanted.left, wanted.top, wanted.right - wanted.left,
               wanted.bottom - wanted.top, TRUE);
}

void FrmMain::ApplyLayout(const window::MainLayout& layout) {
    Place(IdTreeUnits, layout.TreeUnits);
    Place(IdPicSplitter, layout.PicSplitter);
    Place(IdTabView, layout.TabView);
    // The filter takes the top of the list's place.
    window::TwipsBox filter = layout.ListUnits;
    filter.height = std::min(Twips(MulDiv(23, static_cast<int>(m_dpi), 96)), filter.height / 2);
    window::TwipsBox list = layout.ListUnits;
    list.top += filter.height + 30;
    list.height = std::max(0.0, list.height - filter.height - 30);
    Place(IdTxtFilter, filter);
    // On the Conflicts tab the partners panel takes the list's bottom.
    const bool conflicts = SendMessageW(Control(IdTabView), TCM_GETCURSEL, 0, 0) == kConflictsTab;
    if (conflicts) {
        const double height = std::clamp(list.height / 3, std::min(1800.0, list.height / 2),
                                         std::max(3300.0, list.height / 3));
        const double line = Twips(MulDiv(18, static_cast<int>(m_dpi), 96));
        window::TwipsBox panel{list.left, list.top + list.height - height, list.width, height};
        list.height = std::max(0.0, list.height - height - 30);
        Place(IdPartnersTitle, {panel.left, panel.top, panel.width, line});
        Place(IdPartners,
              {panel.left, panel.top + line, panel.width, std::max(0.0, panel.height - 2 * line)});
        Place(IdFreeNumbers, {panel.left, panel.top + panel.height - line, panel.width, line});
    }
    for (int id : {IdPartnersTitle, IdPartners, IdFreeNumbers}) {
        ShowWindow(Control(id), conflicts ? SW_SHOWNA : SW_HIDE);
    }
    Place(IdListUnits, list);
    Place(IdPicView, layout.PicView);
    // The panel's controls sit inside its frame.
    const double border = Twips(GetSystemMetricsForDpi(SM_CXEDGE, m_dpi));
    const double dx = layout.PicView.left + border, dy = layout.PicView.top + border;
    Place(IdLblUnitname, layout.LblUnitname, dx, dy);
    Place(IdPicUnit, layout.PicUnit, dx, dy);
    Place(IdLabel1, layout.Label1, dx, dy);
    Place(IdLstWeapons, layout.LstWeapons, dx, dy);
}

void FrmMain::SetSplitterDragging(bool dragging) {
    m_splitterDragging = dragging;
    InvalidateRect(Control(IdPicSplitter), nullptr, TRUE);
}

WindowPlacement FrmMain::FramePlacement() const {
    WindowPlacement placement;
    RECT frame{};
    GetWindowRect(m_window, &frame);
    placement.Left = Twips(frame.left);
    placement.Top = Twips(frame.top);
    placement.Width = Twips(frame.right - frame.left);
    placement.Height = Twips(frame.bottom - frame.top);
    if (IsIconic(m_window) || m_showCommand == SW_SHOWMINIMIZED) {
        placement.State = WindowState::Minimized;
    } else if (IsZoomed(m_window) || m_showCommand == SW_SHOWMAXIMIZED) {
        placement.State = WindowState::Maximized;
    }
    if (IsIconic(m_window) || IsZoomed(m_window)) {
        // The normal placement the window returns to.
        WINDOWPLACEMENT normal{};
        normal.length = sizeof normal;
        GetWindowPlacement(m_window, &normal);
        placement.Left = Twips(normal.rcNormalPosition.left);
        placement.Top = Twips(normal.rcNormalPosition.top);
        placement.Width = Twips(normal.rcNormalPosition.right - normal.rcNormalPosition.left);
        placement.Height = Twips(normal.rcNormalPosition.bottom - normal.rcNormalPosition.top);
    }
    return placement;
}

void FrmMain::PlaceFrame(const WindowPlacement& wanted, const WindowPlacement& current) {
    if (wanted.Left != current.Left || wanted.Top != current.Top || wanted.Width != current.Width ||
        wanted.Height != current.Height) {
        SetWindowPos(m_window, nullptr, Pixels(wanted.Left), Pixels(wanted.Top),
                     Pixels(wanted.Width), Pixels(wanted.Height), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    switch (wanted.State) {
        case WindowState::Minimized:
            m_showCommand = SW_SHOWMINIMIZED;
            break;
        case WindowState::Maximized:
            m_showCommand = SW_SHOWMAXIMIZED;
            break;
        case WindowState::Normal:
            m_showCommand = SW_SHOWNORMAL;
            break;
    }
    if (IsWindowVisible(m_window)) ShowWindow(m_window, m_showCommand);
}

void FrmMain::CheckCommand(CommandId id, bool checked) {
    const UINT resource = CommandResourceId(id);
    CheckMenuItem(m_menu.get(), resource, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    SendMessageW(Control(IdToolbar), TB_CHECKBUTTON, resource, checked);
}

void FrmMain::EnableCommand(CommandId id, bool enabled) {
    const UINT resource = CommandResourceId(id);
    EnableMenuItem(m_menu.get(), resource, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    SendMessageW(Control(IdToolbar), TB_ENABLEBUTTON, resource, enabled);
}

void FrmMain::SetMenuCaption(UINT id, const std::wstring& caption) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    std::wstring text = caption;
    item.dwTypeData = text.data();
    SetMenuItemInfoW(m_menu.get(), id, FALSE, &item);
}

void FrmMain::SetCommandCaption(CommandId id, const std::string& caption) {
    const window::CommandInfo& command = window::Command(id);
    std::wstring text = WideFromUtf8(caption);
    if (!command.shortcut.empty()) text += L"\t" + WideFromUtf8(command.shortcut);
    SetMenuCaption(CommandResourceId(id), text);
}

void FrmMain::ShowTree(const std::vector<TreeNode>& nodes) {
    HWND tree = Control(IdTreeUnits);
    m_filling = true;
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    m_treeItems.clear();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode& node = nodes[i];
        HTREEITEM parent = TVI_ROOT;
        if (node.parent) {
            for (std::size_t j = 0; j < i; ++j) {
                if (CompareStringOrdinal(WideFromUtf8(nodes[j].key).c_str(), -1,
                                         WideFromUtf8(*node.parent).c_str(), -1,
                                         TRUE) == CSTR_EQUAL) {
                    parent = m_treeItems[j];
                    break;
                }
            }
        }
        std::wstring text = WideFromUtf8(node.text);
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        insert.item.pszText = text.data();
        insert.item.iImage = node.image - 1;
        insert.item.iSelectedImage = node.selectedImage.value_or(node.image) - 1;
        insert.item.lParam = static_cast<LPARAM>(i);
        m_treeItems.push_back(reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].expanded) {
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_treeItems[i]));
        }
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    m_filling = false;
}

void FrmMain::SelectTreeNode(std::size_t position) {
    if (position >= m_treeItems.size()) return;
    m_filling = true;
    SendMessageW(Control(IdTreeUnits), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(m_treeItems[position]));
    m_filling = false;
}

std::optional<std::size_t> FrmMain::CurrentTreeNode() const {
    HWND tree = Control(IdTreeUnits);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return std::nullopt;
    TVITEMW read{};
    read.mask = TVIF_PARAM;
    read.hItem = item;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read));
    return static_cast<std::size_t>(read.lParam);
}

void FrmMain::SelectTab(std::int32_t tab) {
    SendMessageW(Control(IdTabView), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
}

void FrmMain::SetListColumns(const std::vector<Column>& columns) {
    HWND list = Control(IdListUnits);
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    const int charWidth = CharacterWidth(list);
    // A report list's cell keeps 6 pixels clear on each side of its text at 96 dpi.
    const int margins = Pixels(180);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::wstring header = WideFromUtf8(columns[i].header);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = window::ColumnPixels(columns[i].widthTwips, charWidth, margins);
        column.pszText = header.data();
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void FrmMain::ListChanging(window::ListChange change) {
    m_rowBeforeSort.reset();
    if (change != window::ListChange::Sorted) return;
    if (const auto row = CurrentListRow()) {
        if (const ListItem* item = m_presenter.list().item(*row)) m_rowBeforeSort = *item;
    }
}

void FrmMain::ListChanged(window::ListChange change, std::size_t rows) {
    HWND list = Control(IdListUnits);
    m_filling = true;
    if (change == window::ListChange::Reset) {
        // Clearing the marks visits every row of the list: done only when a
        // row is marked, before the count grows.
        if (SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0 ||
            SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) >= 0) {
            ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        }
        SendMessageW(list, LVM_SETITEMCOUNT, rows, 0);
    } else {
        SendMessageW(list, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }
    if (change == window::ListChange::Sorted && m_rowBeforeSort) {
        // The selection follows its row to where the sort put it.
        const std::vector<ListItem>& items = m_presenter.list().items();
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i] == *m_rowBeforeSort) {
                ListView_SetItemState(list, static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                ListView_EnsureVisible(list, static_cast<int>(i), FALSE);
                break;
            }
        }
    }
    m_filling = false;
    InvalidateRect(list, nullptr, TRUE);
}

void FrmMain::ShowSortColumn(std::size_t column) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(Control(IdListUnits), LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (static_cast<std::size_t>(i) == column) item.fmt |= HDF_SORTUP;
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

std::optional<std::size_t> FrmMain::CurrentListRow() const {
    const LRESULT row =
        SendMessageW(Control(IdListUnits), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void FrmMain::SelectListRow(std::size_t row) {
    HWND list = Control(IdListUnits);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    // Scrolled so that the row sits in the middle where the list allows.
    const int perPage = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    ListView_EnsureVisible(list, std::min(count - 1, static_cast<int>(row) + perPage / 2), FALSE);
    ListView_EnsureVisible(list, static_cast<int>(row), FALSE);
    SetFocus(list);
}

void FrmMain::SetFilterText(const std::string& text) {
    m_filling = true;
    SetText(Control(IdTxtFilter), text);
    m_filling = false;
}

void FrmMain::SetStatusText(window::StatusPanel panel, const std::string& text) {
    SendMessageW(Control(IdStatus), SB_SETTEXTW, static_cast<WPARAM>(panel) - 1,
                 reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
}

void FrmMain::RefreshFingerprint() {
    const std::string text = "Fingerprint " + FingerprintEnabledSet(m_session.catalogue).code;
    SendMessageW(Control(IdStatus), SB_SETTEXTW, 2,
                 reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
}

void FrmMain::ShowPartners(const Catalogue* catalogue, const ListItem* item) {
    const window::PartnerRows described = window::DescribePartners(catalogue, item);
    SetText(Control(IdPartnersTitle), described.title);
    SetText(Control(IdFreeNumbers), described.freeNumbers);
    HWND partners = Control(IdPartners);
    SendMessageW(partners, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t row = 0; row < described.rows.size(); ++row) {
        for (std::size_t column = 0; column < window::kPartnerColumns.size(); ++column) {
            std::wstring text = WideFromUtf8(described.rows[row][column]);
            LVITEMW cell{};
            cell.mask = LVIF_TEXT;
            cell.iItem = static_cast<int>(row);
            cell.iSubItem = static_cast<int>(column);
            cell.pszText = text.data();
            SendMessageW(partners, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW,
                         column == 0 ? 0 : row, reinterpret_cast<LPARAM>(&cell));
        }
    }
}

void FrmMain::EditGroups() {
    FrmGroups groups(m_session.catalogue.GroupList, m_services);
    groups.Create(m_window);
    groups.RunModal();
}

void FrmMain::ShowAbout(const std::string& userDataDirectory) {
    FrmAbout about(AboutLinks::ForThisProgram(userDataDirectory), m_services);
    about.Create(m_window);
    about.RunModal();
}

bool FrmMain::PreviewSchema(const std::string& name, const SchemaDiff& diff) {
    if (!diff.read) {
        m_services.ShowMessage(diff.problem, kApplicationTitle, MessageIcon::Exclamation);
        return false;
    }
    std::string text = "Import the schema " + name + "?\n\n" + std::to_string(diff.enable.size()) +
                       " archives are enabled, " + std::to_string(diff.disable.size()) +
                       " disabled; " + std::to_string(diff.unlisted.size()) +
                       " are not named and stay as they are.";
    if (!diff.missing.empty()) {
        text += "\n" + std::to_string(diff.missing.size()) +
                " archives of the schema are not in this installation.";
    }
    return m_services.AskChoice(text, "Import Schema", {"&Import", "Cancel"}) == 0;
}

void FrmMain::SetStatusName(const std::string& name) {
    SetStatusText(window::StatusPanel::Unit, name);
}

void FrmMain::SetCallname(const std::string& callname) {
    SetText(Control(IdLblUnitname), callname);
}

void FrmMain::SetUnitCommand(int image, const std::string& tooltip, const std::string& caption) {
    const UINT resource = CommandResourceId(CommandId::SwitchUnit);
    SendMessageW(Control(IdToolbar), TB_CHANGEBITMAP, resource, image - 1);
    m_unitTooltip = WideFromUtf8(tooltip);
    SetCommandCaption(CommandId::SwitchUnit, caption);
}

void FrmMain::ClearPicture() {
    m_picture->Cls();
}

void FrmMain::SetWeapons(const std::vector<std::string>& lines) {
    HWND list = Control(IdLstWeapons);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(line).c_str()));
    }
}

double FrmMain::PictureScaleWidth() const {
    return m_picture->ScaleWidth();
}

}  // namespace kloxmere::win32

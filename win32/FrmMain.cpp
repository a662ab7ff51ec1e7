// The main window's creation, its controls and its messages.

#include "win32/FrmMain.h"

#include <windowsx.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <stdexcept>

#include "app/Session.h"
#include "base/Environment.h"
#include "graphics/clsFastWin.h"
#include "win32/BusyPointer.h"
#include "win32/DialogWindow.h"
#include "win32/MainMenus.h"
#include "win32/Win32PlatformServices.h"
#include "win32/WindowText.h"
#include "win32/resources/ResourceIds.h"
#include "window/PartnerRows.h"

namespace kloxmere::win32 {

using window::CommandId;

namespace {

constexpr const wchar_t* kMainClass = L"KloxmereMain";
constexpr const wchar_t* kSplitterClass = L"KloxmereSplitter";
constexpr double kToolbarHeight = 420;  // twips

void registerClasses() {
    static const bool registered = [] {
        WNDCLASSEXW main{};
        main.cbSize = sizeof main;
        main.lpfnWndProc = DefWindowProcW;
        main.hInstance = GetModuleHandleW(nullptr);
        main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        main.lpszClassName = kMainClass;
        main.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KLOXMERE));
        WNDCLASSEXW splitter = main;
        splitter.lpszClassName = kSplitterClass;
        splitter.hCursor = LoadCursorW(nullptr, IDC_SIZEWE);
        splitter.hIcon = nullptr;
        return RegisterClassExW(&main) && RegisterClassExW(&splitter);
    }();
    if (!registered) throw std::runtime_error("the main window's classes could not be registered");
}

HIMAGELIST iconList(int first, int count, int side) {
    HIMAGELIST list = ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, count, 0);
    for (int i = 1; i <= count; ++i) {
        HICON icon =
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(first + i),
                                          IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
        ImageList_AddIcon(list, icon);
        if (icon) DestroyIcon(icon);
    }
    return list;
}

}  // namespace

FrmMain::FrmMain(Session& session, PlatformServices& services, window::StartupOptions options)
    : m_session(session), m_services(services), m_presenter(session, *this, std::move(options)) {}

FrmMain::~FrmMain() {
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    for (HIMAGELIST list : {m_toolbarImages, m_treeImages, m_listImages}) {
        if (list) ImageList_Destroy(list);
    }
}

int FrmMain::Pixels(double twips) const {
    return MulDiv(static_cast<int>(twips), static_cast<int>(m_dpi), 1440);
}

double FrmMain::Twips(int pixels) const {
    return static_cast<double>(MulDiv(pixels, 1440, static_cast<int>(m_dpi)));
}

void FrmMain::Create() {
    registerClasses();
    HMENU conflict = nullptr;
    m_menu = BuildMenuBar(&conflict);
    m_conflictMenu = conflict;
    m_accelerators =
        BuildAccelerators({*ShortcutAccelerator(window::kFilterShortcut, kFocusFilter)});
    m_dpi = GetDpiForSystem();
    RECT frame{0, 0,
               MulDiv(static_cast<int>(window::kDesignInnerWidth), static_cast<int>(m_dpi), 1440),
               MulDiv(static_cast<int>(window::kDesignInnerHeight), static_cast<int>(m_dpi), 1440)};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectExForDpi(&frame, style, TRUE, 0, m_dpi);
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, L"Kloxmere", style, CW_USEDEFAULT,
                               CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                               nullptr, m_menu.get(), GetModuleHandleW(nullptr), nullptr);
    if (!m_window) throw std::runtime_error("the main window could not be created");
    m_menu.release();  // the window destroys its menu
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    m_menu.reset(GetMenu(m_window));
    m_dpi = WindowDpi(m_window);
    CreateControls();
    m_presenter.Resized();
}

void FrmMain::MakeImageLists() {
    const int side = MulDiv(16, static_cast<int>(m_dpi), 96);
    for (HIMAGELIST list : {m_toolbarImages, m_treeImages, m_listImages}) {
        if (list) ImageList_Destroy(list);
    }
    m_toolbarImages = iconList(IDI_TOOLBAR_BASE, IDI_TOOLBAR_COUNT, side);
    m_treeImages = iconList(IDI_TREE_BASE, IDI_TREE_COUNT, side);
    m_listImages = iconList(IDI_LIST_BASE, IDI_LIST_COUNT, side);
    SendMessageW(Control(IdToolbar), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_toolbarImages));
    SendMessageW(Control(IdTreeUnits), TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(m_treeImages));
    SendMessageW(Control(IdListUnits), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(m_listImages));
}

void FrmMain::CreateControls() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto child = [&](DWORD extended, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                     int id) {
        HWND control = CreateWindowExW(
            extended, windowClass, text, style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 10,
            10, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (!control) throw std::runtime_error("a control of the main window could not be made");
        return control;
    };
    // The toolbar: flat, with tooltips, its buttons and separators from the table.
    HWND toolbar =
        child(0, TOOLBARCLASSNAMEW, L"Toolbar",
              TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
              IdToolbar);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // The tree, the splitter bar, the tabs and the list, in tab order.
    child(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"Units",
          WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS,
          IdTreeUnits);
    HWND splitter = child(0, kSplitterClass, L"Splitter bar", 0, IdPicSplitter);
    SetWindowLongPtrW(splitter, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(splitter, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SplitterProcedure));
    HWND tabs = child(0, WC_TABCONTROLW, L"", WS_TABSTOP, IdTabView);
    for (std::size_t i = 0; i < kTabCaptions.size(); ++i) {
        std::wstring caption = WideFromUtf8(kTabCaptions[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    // The filter above the list: only the rows holding its text are shown.
    HWND filter = child(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, IdTxtFilter);
    SendMessageW(filter, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Filter (Ctrl+F)"));
    HWND list = child(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                      WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                      IdListUnits);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_HEADERDRAGDROP);
    // Under the list on the Conflicts tab: who the selected conflict is with.
    child(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IdPartnersTitle);
    HWND partners = child(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"Partners",
                          WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL, IdPartners);
    SendMessageW(partners, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    for (std::size_t i = 0; i < window::kPartnerColumns.size(); ++i) {
        std::wstring header = WideFromUtf8(window::kPartnerColumns[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = i == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = Pixels(i == 0 || i == 3 ? 1500 : 1050);
        column.pszText = header.data();
        SendMessageW(partners, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    child(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IdFreeNumbers);
    // The unit panel: a frame, the unit's name, its picture, the weapons.
    HWND frame = child(WS_EX_CLIENTEDGE, L"STATIC", L"", SS_LEFT, IdPicView);
    child(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, IdLblUnitname);
    m_picture = std::make_unique<PictureBox>(m_window, IdPicUnit, L"Unit picture");
    child(0, L"STATIC", L"Weapons", SS_LEFT, IdLabel1);
    child(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
          IdLstWeapons);
    child(0, STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, IdStatus);
    // The panel's frame goes below the controls it holds, made after it.
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    std::vector<TBBUTTON> buttons;
    for (const window::ToolbarSlot& slot : window::kToolbarSlots) {
        TBBUTTON button{};
        if (!slot.command) {
            button.fsStyle = BTNS_SEP;
        } else {
            const window::CommandInfo& command = window::Command(*slot.command);
            button.iBitmap = command.toolbarImage - 1;
            button.idCommand = static_cast<int>(CommandResourceId(command.id));
            button.fsState = TBSTATE_ENABLED | (command.checkable ? TBSTATE_CHECKED : 0);
            button.fsStyle = static_cast<BYTE>(BTNS_BUTTON | (command.checkable ? BTNS_CHECK : 0));
        }
        buttons.push_back(button);
    }
    MakeImageLists();
    SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ApplyFonts();
}

void FrmMain::ApplyFonts() {
    m_font = MessageFont(m_dpi);
    LOGFONTW bold{};
    GetObjectW(m_font.get(), sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    m_boldFont.reset(CreateFontIndirectW(&bold));
    for (int id : {IdTreeUnits, IdTabView, IdTxtFilter, IdListUnits, IdPartnersTitle, IdPartners,
                   IdFreeNumbers, IdLabel1, IdLstWeapons, IdStatus}) {
        SendMessageW(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), TRUE);
    }
    SendMessageW(Control(IdLblUnitname), WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont.get()),
                 TRUE);
}

int FrmMain::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

bool FrmMain::PreTranslate(MSG& message) {
    if (!m_window) return false;
    if (m_accelerators && TranslateAcceleratorW(m_window, m_accelerators.get(), &message)) {
        return true;
    }
    return IsDialogMessageW(m_window, &message) != FALSE;
}

void FrmMain::OnCommand(UINT id, HWND control) {
    if (id >= IDM_CONFLICT_BASE && id < IDM_CONFLICT_BASE + m_conflictCommands.size()) {
        const auto commands = m_conflictCommands;  // a command may refill the menu
        const window::MenuCommand& chosen = commands[id - IDM_CONFLICT_BASE];
        if (chosen.run) chosen.run();
        return;
    }
    if (id == IDOK && GetFocus() == Control(IdListUnits)) {
        m_presenter.ListRowActivated();  // Enter on the list
        return;
    }
    if (id == kFocusFilter) {
        SetFocus(Control(IdTxtFilter));
        SendMessageW(Control(IdTxtFilter), EM_SETSEL, 0, -1);
        return;
    }
    if (id == IDCANCEL && GetFocus() == Control(IdTxtFilter)) {
        SetWindowTextW(Control(IdTxtFilter), L"");  // Escape empties the filter
        return;
    }
    if (id == IdTxtFilter) {
        if (HIWORD(m_lastCommandCode) == EN_CHANGE && !m_filling) {
            m_presenter.FilterChanged(WindowText(Control(IdTxtFilter)));
        }
        return;
    }
    const std::optional<CommandId> command = CommandOfResourceId(id);
    if (!command) return;
    if (control && control == Control(IdToolbar)) {
        m_presenter.RunToolbarButton(window::Command(*command).toolbarKey);
    } else {
        m_presenter.Run(*command);
    }
}

void FrmMain::OnInitMenuPopup(HMENU menu) {
    if (menu == m_conflictMenu) {
        while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
        m_conflictCommands = m_presenter.ConflictCommands();
        for (std::size_t i = 0; i < m_conflictCommands.size(); ++i) {
            const window::MenuCommand& command = m_conflictCommands[i];
            if (command.separator()) {
                AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            } else {
                AppendMenuW(menu, MF_STRING | (command.enabled ? 0 : MF_GRAYED),
                            IDM_CONFLICT_BASE + i, WideFromUtf8(command.caption).c_str());
            }
        }
        return;
    }
    // The Units menu: its Undo item names the switch it reverses.
    const UINT undo = CommandResourceId(CommandId::UndoSwitch);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuItemID(menu, i) == undo) m_presenter.UnitsMenuOpening();
    }
}

LRESULT FrmMain::OnNotify(const NMHDR& header) {
    switch (header.idFrom) {
        case IdTabView:
            if (header.code == TCN_SELCHANGE && !m_filling) {
                // The list is drawn once, with its new columns and rows.
                HWND list = Control(IdListUnits);
                SendMessageW(list, WM_SETREDRAW, FALSE, 0);
                m_presenter.TabSelected(
                    static_cast<std::int32_t>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
                m_presenter.Resized();  // the partners panel comes or goes with the tab
                SendMessageW(list, WM_SETREDRAW, TRUE, 0);
                InvalidateRect(list, nullptr, TRUE);
            }
            return 0;
        case IdTreeUnits:
            if (header.code == TVN_SELCHANGEDW && !m_filling) m_presenter.TreeNodeSelected();
            return 0;
        case IdListUnits:
            switch (header.code) {
                case LVN_GETDISPINFOW: {
                    auto& info = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header));
                    const auto row = static_cast<std::size_t>(info.item.iItem);
                    if (info.item.mask & LVIF_TEXT) {
                        m_cellText = WideFromUtf8(m_presenter.list().cellText(
                            row, static_cast<std::size_t>(info.item.iSubItem)));
                        if (info.item.cchTextMax > 0) {
                            lstrcpynW(info.item.pszText, m_cellText.c_str(), info.item.cchTextMax);
                        }
                    }
                    if (info.item.mask & LVIF_IMAGE) {
                        info.item.iImage = m_presenter.list().rowIcon(row) - 1;
                    }
                    return 0;
                }
                case LVN_ITEMCHANGED: {
                    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
                    if (m_filling || !(change.uChanged & LVIF_STATE)) return 0;
                    const bool now = change.uNewState & LVIS_SELECTED;
                    const bool before = change.uOldState & LVIS_SELECTED;
                    if (now && !before && change.iItem >= 0) {
                        m_presenter.ListRowSelected(static_cast<std::size_t>(change.iItem));
                    } else if (!now && before && !CurrentListRow()) {
                        m_presenter.ListRowCleared();
                    }
                    return 0;
                }
                case LVN_COLUMNCLICK:
                    m_presenter.ListColumnClicked(
                        reinterpret_cast<const NMLISTVIEW&>(header).iSubItem + 1);
                    return 0;
                case LVN_ITEMACTIVATE:
                    m_presenter.ListRowActivated();
                    return 0;
                case NM_RCLICK: {
                    const std::vector<window::MenuCommand> commands =
                        m_presenter.ConflictCommands();
                    if (commands.empty()) return 0;
                    m_conflictCommands = commands;
                    MenuHandle popup(CreatePopupMenu());
                    for (std::size_t i = 0; i < commands.size(); ++i) {
                        if (commands[i].separator()) {
                            AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
                        } else {
                            AppendMenuW(
                                popup.get(), MF_STRING | (commands[i].enabled ? 0 : MF_GRAYED),
                                IDM_CONFLICT_BASE + i, WideFromUtf8(commands[i].caption).c_str());
                        }
                    }
                    POINT at{};
                    GetCursorPos(&at);
                    TrackPopupMenu(popup.get(), TPM_RIGHTBUTTON, at.x, at.y, 0, m_window, nullptr);
                    return 0;
                }
                default:
                    return 0;
            }
        default:
            break;
    }
    if (header.code == TTN_GETDISPINFOW) {
        // The toolbar's tooltips: the command's, or the unit button's current one.
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(const_cast<NMHDR&>(header));
        if (const auto command = CommandOfResourceId(static_cast<UINT>(header.idFrom))) {
            static std::wstring tip;
            tip = *command == CommandId::SwitchUnit && !m_unitTooltip.empty()
                      ? m_unitTooltip
                      : WideFromUtf8(window::Command(*command).tooltip);
            info.lpszText = tip.data();
        }
    }
    return 0;
}

void FrmMain::OnSplitterMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const double x = Twips(GET_X_LPARAM(lParam));
    auto button = [wParam](UINT pressed) {
        if (pressed == WM_LBUTTONDOWN) return 1;
        if (pressed == WM_RBUTTONDOWN) return 2;
        if (pressed == WM_MBUTTONDOWN) return 4;
        return (wParam & MK_LBUTTON ? 1 : 0) | (wParam & MK_RBUTTON ? 2 : 0) |
               (wParam & MK_MBUTTON ? 4 : 0);
    };
    HWND splitter = Control(IdPicSplitter);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            SetCapture(splitter);
            m_presenter.SplitterMouseDown(button(message), x);
            break;
        case WM_MOUSEMOVE:
            m_presenter.SplitterMouseMove(button(message), x);
            break;
        case WM_LBUTTONUP:
            if (GetCapture() == splitter) ReleaseCapture();
            m_presenter.SplitterMouseUp(1, x);
            break;
        default:
            break;
    }
}

LRESULT CALLBACK FrmMain::SplitterProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    auto* self = reinterpret_cast<FrmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) {
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_MOUSEMOVE:
            case WM_LBUTTONUP:
                self->OnSplitterMouse(message, wParam, lParam);
                return 0;
            case WM_PAINT: {
                PAINTSTRUCT paint{};
                HDC dc = BeginPaint(window, &paint);
                RECT client{};
                GetClientRect(window, &client);
                FillRect(
                    dc, &client,
                    GetSysColorBrush(self->m_splitterDragging ? COLOR_3DSHADOW : COLOR_BTNFACE));
                EndPaint(window, &paint);
                return 0;
            }
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT FrmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            m_lastCommandCode = static_cast<UINT>(wParam);
            OnCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) m_presenter.Resized();
            return 0;
        case WM_DPICHANGED: {
            m_dpi = HIWORD(wParam);
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            ApplyFonts();
            MakeImageLists();
            SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            m_presenter.Resized();
            return 0;
        }
        case WM_SETCURSOR:
            if (ShowBusyCursor()) return TRUE;
            break;
        case WM_CLOSE:
            m_presenter.Unload();
            DestroyWindow(m_window);
            return 0;
        case WM_DESTROY:
            SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
            m_window = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK FrmMain::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FrmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || message == WM_NCDESTROY) return DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

}  // namespace kloxmere::win32

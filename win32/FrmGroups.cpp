#include "win32/FrmGroups.h"

#include "base/Environment.h"

namespace kloxmere::win32 {

namespace {
constexpr int kInnerWidth = 4785;
constexpr int kInnerHeight = 3930;
// Positions inside the frame are relative to its left and top.
constexpr int kFrameLeft = 180, kFrameTop = 180;

TwipsRect inFrame(int left, int top, int width, int height) {
    return {kFrameLeft + left, kFrameTop + top, width, height};
}

void fill(HWND list, const std::vector<std::string>& lines) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(line).c_str()));
    }
}

std::optional<std::size_t> selection(HWND list) {
    const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}
}  // namespace

FrmGroups::FrmGroups(Collection<clsUnitGroup>& GroupList, PlatformServices& services)
    : DialogWindow({L"Edit Unit Groups", kInnerWidth, kInnerHeight}),
      m_editor(GroupList, services, *this) {}

void FrmGroups::Populate() {
    AddControl(L"BUTTON", L"Groups", BS_GROUPBOX, IdFrame1, {kFrameLeft, kFrameTop, 4395, 3075});
    // The tab order: the groups, Delete, OK, Add, the keywords, their buttons.
    AddControl(L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               IdLstGroups, inFrame(180, 360, 3075, 1230), WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", L"&Delete", WS_TABSTOP, IdCmdDelete, inFrame(3360, 840, 855, 375));
    AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {3540, 3420, 1035, 375});
    AddControl(L"BUTTON", L"&Add...", WS_TABSTOP, IdCmdAdd, inFrame(3360, 360, 855, 375));
    AddControl(L"STATIC", L"Filename keywords", SS_LEFT, IdLabel1, inFrame(180, 1740, 1635, 255));
    AddControl(L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               IdLstKeywords, inFrame(180, 2040, 3075, 840), WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", L"Add...", WS_TABSTOP, IdCmdAddKeyword, inFrame(3360, 2040, 855, 375));
    AddControl(L"BUTTON", L"Delete", WS_TABSTOP, IdCmdDeleteKeyword, inFrame(3360, 2520, 855, 375));
    m_editor.Load();
}

void FrmGroups::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IdLstGroups:
            if (code == LBN_SELCHANGE) m_editor.GroupSelected();
            return;
        case IdCmdAdd:
            m_editor.AddGroup();
            return;
        case IdCmdDelete:
            m_editor.DeleteGroup();
            return;
        case IdCmdAddKeyword:
            m_editor.AddKeyword();
            return;
        case IdCmdDeleteKeyword:
            m_editor.DeleteKeyword();
            return;
        case IDOK:
            End();
            return;
        default:
            DialogWindow::OnCommand(id, code, control);
    }
}

void FrmGroups::ShowGroups(const std::vector<std::string>& names) {
    HWND list = Control(IdLstGroups);
    fill(list, names);
    if (!names.empty()) SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void FrmGroups::ShowKeywords(const std::vector<std::string>& keywords) {
    fill(Control(IdLstKeywords), keywords);
}

std::optional<std::string> FrmGroups::SelectedGroup() const {
    HWND list = Control(IdLstGroups);
    const std::optional<std::size_t> row = selection(list);
    if (!row) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, *row, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(list, LB_GETTEXT, *row, reinterpret_cast<LPARAM>(text.data()))));
    return Utf8FromWide(text);
}

std::optional<std::size_t> FrmGroups::SelectedKeyword() const {
    return selection(Control(IdLstKeywords));
}

}  // namespace kloxmere::win32

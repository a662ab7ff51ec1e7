#include "win32/FrmGroups.h"

#include "base/Environment.h"
#include "base/PlatformServices.h"
#include "base/Windows1252.h"
#include "catalogue/GroupEditing.h"
#include "catalogue/clsUnitGroup.h"

namespace kloxmere::win32 {

namespace {
constexpr int kInnerWidth = 4785;
constexpr int kInnerHeight = 3930;
// Positions inside the frame are relative to its left and top.
constexpr int kFrameLeft = 180, kFrameTop = 180;

TwipsRect inFrame(int left, int top, int width, int height) {
    return {kFrameLeft + left, kFrameTop + top, width, height};
}
}  // namespace

FrmGroups::FrmGroups(Collection<clsUnitGroup>& GroupList, PlatformServices& services)
    : DialogWindow({L"Edit Unit Groups", kInnerWidth, kInnerHeight}),
      m_groups(GroupList),
      m_services(services) {}

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
    refreshGroupList();
}

void FrmGroups::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IdLstGroups:
            if (code == LBN_SELCHANGE) refreshKeywordList();
            return;
        case IdCmdAdd: {
            const std::string name = ask("Enter a name for the new group", "Add Group");
            if (name.empty()) return;
            AddGroup(m_groups, name);  // a name already in use, in any case, adds nothing
            refreshGroupList();
            return;
        }
        case IdCmdDelete:
            if (const clsUnitGroup* group = selectedGroup()) DeleteGroup(m_groups, group->Name);
            refreshGroupList();
            return;
        case IdCmdAddKeyword: {
            const std::string keyword = ask("Enter a new keyword", "Filename keyword");
            if (keyword.empty()) return;
            if (clsUnitGroup* group = selectedGroup()) AddKeyword(*group, keyword);
            refreshKeywordList();
            return;
        }
        case IdCmdDeleteKeyword: {
            clsUnitGroup* group = selectedGroup();
            const LRESULT row = SendMessageW(Control(IdLstKeywords), LB_GETCURSEL, 0, 0);
            if (group && row >= 0) DeleteKeyword(*group, static_cast<std::size_t>(row) + 1);
            refreshKeywordList();
            return;
        }
        case IDOK:
            End();
            return;
        default:
            DialogWindow::OnCommand(id, code, control);
    }
}

void FrmGroups::refreshGroupList() {
    HWND list = Control(IdLstGroups);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const clsUnitGroup& group : m_groups) {
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WideFromUtf8(group.Name).c_str()));
    }
    if (SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) SendMessageW(list, LB_SETCURSEL, 0, 0);
    refreshKeywordList();
}

void FrmGroups::refreshKeywordList() {
    HWND list = Control(IdLstKeywords);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (const clsUnitGroup* group = selectedGroup()) {
        for (const std::string& keyword : group->Keywords) {
            SendMessageW(list, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(WideFromUtf8(keyword).c_str()));
        }
    }
}

clsUnitGroup* FrmGroups::selectedGroup() {
    const LRESULT row = SendMessageW(Control(IdLstGroups), LB_GETCURSEL, 0, 0);
    if (row < 0 || static_cast<std::size_t>(row) >= m_groups.Count()) return nullptr;
    return &m_groups.Item(static_cast<std::size_t>(row) + 1);
}

// unitgroups.dat holds Windows-1252 text: what it cannot hold becomes "?".
std::string FrmGroups::ask(const char* prompt, const char* title) {
    return DecodeWindows1252(EncodeWindows1252(m_services.InputBox(prompt, title)));
}

}  // namespace kloxmere::win32

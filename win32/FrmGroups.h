#pragma once

// The group editor: the user's groups with Add and Delete, the selected
// group's filename keywords with Add and Delete, and OK. Each edit takes
// effect at once (catalogue/GroupEditing.h holds the rules); the names and
// keywords asked for are kept to what unitgroups.dat can hold.

#include "win32/DialogWindow.h"

#include "base/Collection.h"

namespace kloxmere {
class PlatformServices;
struct clsUnitGroup;
}  // namespace kloxmere

namespace kloxmere::win32 {

class FrmGroups final : public DialogWindow {
  public:
    enum : int {
        IdFrame1 = 101,
        IdLstGroups,
        IdCmdDelete,
        IdCmdAdd,
        IdLabel1,
        IdLstKeywords,
        IdCmdAddKeyword,
        IdCmdDeleteKeyword,
    };

    FrmGroups(Collection<clsUnitGroup>& GroupList, PlatformServices& services);

  protected:
    void Populate() override;
    void OnCommand(int id, int code, HWND control) override;

  private:
    void refreshGroupList();
    void refreshKeywordList();
    clsUnitGroup* selectedGroup();
    std::string ask(const char* prompt, const char* title);

    Collection<clsUnitGroup>& m_groups;
    PlatformServices& m_services;
};

}  // namespace kloxmere::win32

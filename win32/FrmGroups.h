#pragma once

// The group editor: the user's groups with Add and Delete, the selected
// group's filename keywords with Add and Delete, and OK. The rules are the
// shared editor's (window/GroupEditor.h); this window shows its two lists
// and forwards its buttons.

#include <optional>
#include <string>
#include <vector>

#include "base/Collection.h"
#include "win32/DialogWindow.h"
#include "window/GroupEditor.h"

namespace kloxmere {
class PlatformServices;
struct clsUnitGroup;
}  // namespace kloxmere

namespace kloxmere::win32 {

class FrmGroups final : public DialogWindow, private window::GroupEditorView {
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
    void ShowGroups(const std::vector<std::string>& names) override;
    void ShowKeywords(const std::vector<std::string>& keywords) override;
    std::optional<std::string> SelectedGroup() const override;
    std::optional<std::size_t> SelectedKeyword() const override;

    window::GroupEditor m_editor;
};

}  // namespace kloxmere::win32

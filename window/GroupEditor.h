#pragma once

// The group editor's rules, free of any widget: the groups and the selected
// group's keywords shown, Add and Delete of each, the names and keywords
// asked for (and kept as the groups file can store them). The window shows
// the two lists and the buttons (GroupEditorView); the input box is the
// platform services'.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/Collection.h"

namespace kloxmere {
class PlatformServices;
struct clsUnitGroup;
}  // namespace kloxmere

namespace kloxmere::window {

class GroupEditorView {
  public:
    virtual ~GroupEditorView() = default;
    // Replaces the group list with `names`, the first one selected (none
    // when empty), without telling GroupSelected.
    virtual void ShowGroups(const std::vector<std::string>& names) = 0;
    virtual void ShowKeywords(const std::vector<std::string>& keywords) = 0;
    // The selected group's name as listed, or nullopt.
    virtual std::optional<std::string> SelectedGroup() const = 0;
    // The selected keyword's position in the list (0 is the first), or nullopt.
    virtual std::optional<std::size_t> SelectedKeyword() const = 0;
};

class GroupEditor {
  public:
    GroupEditor(Collection<clsUnitGroup>& groups, PlatformServices& services,
                GroupEditorView& view);

    // Fills the group list and the first group's keywords.
    void Load();
    // The group list's selection changed.
    void GroupSelected();
    void AddGroup();
    void DeleteGroup();
    void AddKeyword();
    void DeleteKeyword();

  private:
    void showGroups();
    void showKeywords();
    clsUnitGroup* selectedGroup();
    // What the user typed as it will be stored: a character without a
    // Windows-1252 byte becomes "?", so the window shows what the file keeps.
    std::string ask(const char* prompt, const char* title);

    Collection<clsUnitGroup>& m_groups;
    PlatformServices& m_services;
    GroupEditorView& m_view;
};

}  // namespace kloxmere::window

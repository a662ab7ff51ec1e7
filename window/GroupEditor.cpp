#include "window/GroupEditor.h"

#include "base/PlatformServices.h"
#include "base/Windows1252.h"
#include "catalogue/GroupEditing.h"
#include "catalogue/clsUnitGroup.h"

namespace kloxmere::window {

GroupEditor::GroupEditor(Collection<clsUnitGroup>& groups, PlatformServices& services,
                         GroupEditorView& view)
    : m_groups(groups), m_services(services), m_view(view) {}

void GroupEditor::Load() {
    showGroups();
}

void GroupEditor::GroupSelected() {
    showKeywords();
}

void GroupEditor::AddGroup() {
    const std::string name = ask("Enter a name for the new group", "Add Group");
    if (name.empty()) return;
    kloxmere::AddGroup(m_groups, name);  // a name already in use, in any case, adds nothing
    showGroups();
}

void GroupEditor::DeleteGroup() {
    if (const clsUnitGroup* group = selectedGroup()) kloxmere::DeleteGroup(m_groups, group->Name);
    showGroups();
}

void GroupEditor::AddKeyword() {
    const std::string keyword = ask("Enter a new keyword", "Filename keyword");
    if (keyword.empty()) return;
    if (clsUnitGroup* group = selectedGroup()) kloxmere::AddKeyword(*group, keyword);
    showKeywords();
}

void GroupEditor::DeleteKeyword() {
    clsUnitGroup* group = selectedGroup();
    const std::optional<std::size_t> selected = m_view.SelectedKeyword();
    if (group && selected) kloxmere::DeleteKeyword(*group, *selected + 1);
    showKeywords();
}

void GroupEditor::showGroups() {
    std::vector<std::string> names;
    for (const clsUnitGroup& group : m_groups) names.push_back(group.Name);
    m_view.ShowGroups(names);
    showKeywords();
}

void GroupEditor::showKeywords() {
    std::vector<std::string> keywords;
    if (const clsUnitGroup* group = selectedGroup()) {
        for (const std::string& keyword : group->Keywords) keywords.push_back(keyword);
    }
    m_view.ShowKeywords(keywords);
}

clsUnitGroup* GroupEditor::selectedGroup() {
    const std::optional<std::string> name = m_view.SelectedGroup();
    return name ? m_groups.Find(*name) : nullptr;
}

std::string GroupEditor::ask(const char* prompt, const char* title) {
    return DecodeWindows1252(EncodeWindows1252(m_services.InputBox(prompt, title)));
}

}  // namespace kloxmere::window

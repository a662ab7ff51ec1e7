// The group editor's rules against a fake pair of lists.

#include <gtest/gtest.h>

#include "catalogue/GroupEditing.h"
#include "catalogue/clsUnitGroup.h"
#include "tests/support/RecordingServices.h"
#include "window/GroupEditor.h"

using namespace kloxmere;
using namespace kloxmere::window;
using kloxmere::test::RecordingServices;
using Strings = std::vector<std::string>;

namespace {

class FakeLists final : public GroupEditorView {
  public:
    Strings groups, keywords;
    std::optional<std::size_t> group, keyword;

    void ShowGroups(const Strings& names) override {
        groups = names;
        group = names.empty() ? std::nullopt : std::optional<std::size_t>(0);
    }
    void ShowKeywords(const Strings& words) override {
        keywords = words;
        keyword.reset();
    }
    std::optional<std::string> SelectedGroup() const override {
        if (!group) return std::nullopt;
        return groups.at(*group);
    }
    std::optional<std::size_t> SelectedKeyword() const override { return keyword; }
};

struct Editor {
    Collection<clsUnitGroup> groups;
    RecordingServices services;
    FakeLists lists;
    GroupEditor editor{groups, services, lists};
};

}  // namespace

TEST(WindowGroupEditor, GroupsAndKeywordsAreAddedAndDeletedOnTheSelectedGroup) {
    Editor e;
    AddGroup(e.groups, "Kbots");
    AddKeyword(e.groups.Item(1), "core");
    AddGroup(e.groups, "Empty");
    e.editor.Load();
    EXPECT_EQ(e.lists.groups, (Strings{"Kbots", "Empty"}));
    EXPECT_EQ(e.lists.keywords, Strings{"core"});
    e.lists.group = 1;
    e.editor.GroupSelected();
    EXPECT_TRUE(e.lists.keywords.empty());

    e.services.inputAnswers = {"arm", "ARM", ""};
    e.editor.AddKeyword();
    e.editor.AddKeyword();  // the same keyword in another case adds nothing
    e.editor.AddKeyword();  // cancelled
    EXPECT_EQ(e.lists.keywords, Strings{"arm"});
    EXPECT_EQ(e.groups.Item(2).Keywords.Count(), 1u);
    e.editor.DeleteKeyword();  // none selected: nothing
    EXPECT_EQ(e.lists.keywords, Strings{"arm"});
    e.lists.keyword = 0;
    e.editor.DeleteKeyword();
    EXPECT_TRUE(e.lists.keywords.empty());

    e.services.inputAnswers = {"Xtapack", "kbots"};
    e.editor.AddGroup();
    e.editor.AddGroup();  // a name in use, in any case: nothing
    EXPECT_EQ(e.lists.groups, (Strings{"Kbots", "Empty", "Xtapack"}));
    EXPECT_EQ(e.lists.group, 0u);  // the list starts again at its first group
    e.editor.DeleteGroup();
    EXPECT_EQ(e.lists.groups, (Strings{"Empty", "Xtapack"}));
    EXPECT_FALSE(e.groups.Find("Kbots"));
}

TEST(WindowGroupEditor, WhatIsTypedIsKeptAsTheGroupsFileCanStoreIt) {
    Editor e;
    e.editor.Load();
    EXPECT_TRUE(e.lists.groups.empty());
    EXPECT_FALSE(e.lists.group);
    e.services.inputAnswers = {"word"};
    e.editor.AddKeyword();  // no group selected: nothing
    EXPECT_TRUE(e.lists.keywords.empty());
    e.services.inputAnswers = {"Caf\xC3\xA9 \xE6\x97\xA5"};  // "é" is in Windows-1252, "日" is not
    e.editor.AddGroup();
    EXPECT_EQ(e.lists.groups, Strings{"Caf\xC3\xA9 ?"});
}

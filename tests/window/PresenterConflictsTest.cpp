// The filter, the partners and the conflict commands against the recording
// fake view.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/FileSystem.h"
#include "catalogue/ListRows.h"
#include "tests/window/PresenterFixture.h"
#include "units/clsUnit.h"

using namespace kloxmere;
using namespace kloxmere::test;
using window::CommandId;
using window::StatusPanel;
using Strings = std::vector<std::string>;

namespace {

// "caption" per line, "-" for a separator, "(off)" after a disabled line.
Strings captions(const std::vector<window::MenuCommand>& commands) {
    Strings texts;
    for (const window::MenuCommand& command : commands)
        texts.push_back(command.separator() ? "-"
                                            : command.caption + (command.enabled ? "" : " (off)"));
    return texts;
}

void choose(std::vector<window::MenuCommand> commands, const std::string& caption) {
    for (window::MenuCommand& command : commands) {
        if (command.caption == caption) {
            ASSERT_TRUE(command.run) << caption;
            command.run();
            return;
        }
    }
    FAIL() << "no " << caption;
}

}  // namespace

TEST(WindowPresenterConflicts, TheFilterNarrowsWidensAndStaysAcrossTabs) {
    PresenterFixture f;
    f.presenter->ListColumnClicked(3);  // sorted by Callname first
    const Strings sorted = f.names();
    f.presenter->FilterChanged("STOMP");
    EXPECT_EQ(f.names(), Strings{"CORKBOT"});
    EXPECT_EQ(f.view.rows, 1u);
    EXPECT_EQ(f.view.status[StatusPanel::Message], "1 of 10 rows");
    f.presenter->FilterChanged("STOx");
    EXPECT_EQ(f.view.rows, 0u);
    EXPECT_EQ(f.view.status[StatusPanel::Message], "0 of 10 rows");
    const auto resets = f.view.calls.size();
    f.presenter->FilterChanged("stox");  // the same filter in another case: nothing to do
    EXPECT_EQ(f.view.calls.size(), resets);
    f.presenter->FilterChanged("");
    EXPECT_EQ(f.names(), sorted);
    EXPECT_EQ(f.view.status[StatusPanel::Message], "Ready");

    f.presenter->FilterChanged("aurora");
    f.clickTab(kConflictsTab);
    EXPECT_EQ(f.names(), Strings{"NOVATANK"});
    EXPECT_EQ(f.view.status[StatusPanel::Message], "1 of 5 rows");
    EXPECT_EQ(f.services.busyDepth, 0);
}

TEST(WindowPresenterConflicts, AConflictRowOffersItsArchivesAndPartnersAndDisablesOne) {
    PresenterFixture f;
    EXPECT_EQ(captions(f.presenter->ConflictCommands()), Strings{"No conflict selected (off)"});
    f.clickTab(kConflictsTab);
    EXPECT_EQ(captions(f.presenter->ConflictCommands()), Strings{"No conflict selected (off)"});
    f.view.clickRow(*f.presenter, 0);
    EXPECT_EQ(f.view.partnersItem, f.list().item(std::size_t{0}));
    EXPECT_EQ(
        captions(f.presenter->ConflictCommands()),
        (Strings{"Disable aurora.ufo", "Disable kloxbase.hpi", "-", "Show NOVATANK in Units"}));
    choose(f.presenter->ConflictCommands(), "Disable aurora.ufo");
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(f.ta + "aurora.xufo")));
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(f.ta + "kloxbase.hpi")));
    EXPECT_TRUE(f.view.enabled[CommandId::UndoSwitch]);

    // The build-menu conflict's row: both entries' archives, the disabled one off.
    f.view.clickRow(*f.presenter, 4);
    EXPECT_EQ(captions(f.presenter->ConflictCommands()),
              (Strings{"Disable aurora.xufo (off)", "Disable kloxbase.hpi", "-",
                       "Show NOVATANK in Units", "Show ARMBOLT in Units"}));
}

TEST(WindowPresenterConflicts, ShowInUnitsGoesBackToUnitsAndTheFilterAndSwitchesGiveWay) {
    PresenterFixture f;
    f.presenter->Run(CommandId::ViewThirdParty);  // NOVATANK is a third-party unit
    f.clickTab(kConflictsTab);
    f.view.filterText = "bolt";
    f.presenter->FilterChanged("bolt");
    EXPECT_EQ(f.view.rows, 3u);
    f.view.clickRow(*f.presenter, 0);
    choose(f.presenter->ConflictCommands(), "Show NOVATANK in Units");
    // The fake does not report its tab or filter changes: the presenter does not rely on it.
    EXPECT_EQ(f.view.tab, kUnitsTab);
    EXPECT_EQ(f.session->view.CurrentTab, kUnitsTab);
    EXPECT_EQ(f.view.filterText, "");
    EXPECT_FALSE(f.list().filtered());
    EXPECT_TRUE(f.session->view.ShowThirdParty);
    EXPECT_TRUE(f.view.checked[CommandId::ViewThirdParty]);
    EXPECT_EQ(f.view.currentNode, f.view.nodeOf(kUnitsRootKey));
    ASSERT_TRUE(f.view.currentRow);
    EXPECT_EQ(f.names()[*f.view.currentRow], "NOVATANK");
    EXPECT_EQ(f.view.calls.back(), "select row " + std::to_string(*f.view.currentRow));

    f.presenter->ShowInUnits("no such key");  // nothing happens
    EXPECT_EQ(f.view.calls.back(), "select row " + std::to_string(*f.view.currentRow));
}

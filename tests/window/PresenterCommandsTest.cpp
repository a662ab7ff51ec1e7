// The main window's commands against the recording fake view: the view
// switches, the tabs, the tree and the list, the switches with their
// refusals and Undo, the dialogs' commands, the splitter and Exit.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/FileSystem.h"
#include "catalogue/GroupEditing.h"
#include "catalogue/ListRows.h"
#include "tests/support/ScopedEnv.h"
#include "tests/window/PresenterFixture.h"
#include "units/clsUnit.h"

using namespace kloxmere;
using namespace kloxmere::test;
using window::CommandId;
using Strings = std::vector<std::string>;

namespace {

bool exists(const std::string& path) {
    return std::filesystem::exists(PathFromUtf8(path));
}

void touch(const std::string& path) {
    std::ofstream(PathFromUtf8(path)) << "taken";
}

}  // namespace

TEST(WindowPresenterCommands, ViewSwitchesKeepTheirCheckMarksInStepWithTheList) {
    PresenterFixture f;
    EXPECT_TRUE(f.presenter->RunToolbarButton("cavedog"));
    EXPECT_FALSE(f.session->view.ShowCavedog);
    EXPECT_FALSE(f.view.checked[CommandId::ViewCavedog]);
    EXPECT_EQ(f.names(), (Strings{"NOVACOM", "NOVATANK", "RETROGUN"}));
    EXPECT_EQ(f.view.rows, 3u);
    f.presenter->Run(CommandId::ViewCavedog);
    EXPECT_TRUE(f.view.checked[CommandId::ViewCavedog]);
    EXPECT_EQ(f.names().size(), 10u);
    f.presenter->Run(CommandId::ViewThirdParty);
    EXPECT_FALSE(f.view.checked[CommandId::ViewThirdParty]);
    EXPECT_EQ(f.names().size(), 7u);
    f.presenter->Run(CommandId::ViewCavedog);  // both off: the root selects nothing
    EXPECT_EQ(f.names().size(), 0u);
    EXPECT_EQ(f.services.busyDepth, 0);
}

TEST(WindowPresenterCommands, EachTabBringsItsColumnsAndATreeNodeRefillsOnlyWhenNew) {
    PresenterFixture f;
    f.clickTab(kAvailableWeaponsTab);
    EXPECT_EQ(f.session->view.CurrentTab, kAvailableWeaponsTab);
    ASSERT_EQ(f.view.columns.size(), 1u);
    EXPECT_EQ(f.view.columns[0].header, "ID");
    f.clickTab(kConflictsTab);
    EXPECT_EQ(f.names(), (Strings{"ARMBOLT", "CORKBOT", "NOVATANK", "RETROGUN", ""}));
    f.clickTab(kUnitsTab);
    EXPECT_EQ(f.names().size(), 10u);

    auto resets = [&f] {
        return std::count(f.view.calls.begin(), f.view.calls.end(), "list reset");
    };
    const auto before = resets();
    f.clickNode("NOVA");
    EXPECT_EQ(f.names(), (Strings{"NOVACOM", "NOVATANK"}));
    EXPECT_EQ(f.presenter->LastTreeKey(), "NOVA");
    EXPECT_EQ(resets(), before + 1);
    f.clickNode("NOVA");
    EXPECT_EQ(resets(), before + 1);
    f.clickNode("CORETANK");
    EXPECT_EQ(f.names(), Strings{"CORTANK"});
}

TEST(WindowPresenterCommands, RowsChooseTheUnitOnlyOnTheUnitsTabAndSortByNumber) {
    PresenterFixture f;
    f.view.clickRow(*f.presenter, 8);
    EXPECT_EQ(f.catalogue().CurrentUnit->Name, "NOVATANK");
    EXPECT_EQ(f.view.unit->statusName, "NOVATANK");
    f.clickTab(kWeaponsTab);
    f.view.clickRow(*f.presenter, 0);
    EXPECT_EQ(f.catalogue().CurrentUnit->Name, "NOVATANK");
    f.presenter->ListRowActivated();  // not on Weapons
    EXPECT_TRUE(f.services.fileDialogs.empty());
    EXPECT_TRUE(f.services.messages.empty());

    f.clickTab(kUnitsTab);
    f.presenter->ListColumnClicked(2);  // ID
    const Strings ids{"1", "2", "3", "4", "5", "6", "7", "40", "41", "60"};
    EXPECT_EQ(f.column(1), ids);
    EXPECT_EQ(f.view.sortColumn, 1u);
    f.presenter->ListColumnClicked(2);
    EXPECT_EQ(f.column(1), ids);
    f.presenter->ListColumnClicked(0);  // no column: nothing
    EXPECT_EQ(f.column(1), ids);
    // Later fills keep the sort column.
    f.clickNode("NOVA");
    f.clickNode(kUnitsRootKey);
    EXPECT_EQ(f.column(1), ids);
}

TEST(WindowPresenterCommands, RefusedRenamesAreNamedOneOrManyAndUndoReversesTheBatch) {
    PresenterFixture f([](PresenterFixture& fixture) {
        touch(fixture.ta + "kloxextra.xccx");  // in the way of disabling kloxextra.ccx
    });
    f.presenter->Run(CommandId::DisableGroup);
    ASSERT_EQ(f.services.messages.size(), 1u);
    EXPECT_EQ(f.services.messages[0].text.rfind("This archive could not be switched:\n\n", 0), 0u);
    EXPECT_NE(f.services.messages[0].text.find("kloxextra.ccx: "), std::string::npos);
    EXPECT_EQ(f.services.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(exists(f.ta + "kloxbase.xhpi"));
    EXPECT_TRUE(exists(f.ta + "aurora.xufo"));
    EXPECT_EQ(f.services.busyDepth, 0);
    // The Units menu names the batch; Undo puts it back.
    f.presenter->UnitsMenuOpening();
    EXPECT_EQ(f.view.captions[CommandId::UndoSwitch], "&Undo Disable Group TA Units");
    EXPECT_TRUE(f.view.enabled[CommandId::UndoSwitch]);
    f.presenter->Run(CommandId::UndoSwitch);
    EXPECT_TRUE(exists(f.ta + "kloxbase.hpi"));
    EXPECT_TRUE(exists(f.ta + "aurora.ufo"));
    EXPECT_EQ(f.services.messages.size(), 1u);
    EXPECT_EQ(f.list().cellText(0, 4), "kloxbase.hpi");

    // Two refused in one batch: the plural, each on its line.
    touch(f.ta + "kloxbase.xhpi");
    f.presenter->Run(CommandId::DisableGroup);
    ASSERT_EQ(f.services.messages.size(), 2u);
    const std::string& text = f.services.messages[1].text;
    EXPECT_EQ(text.rfind("These archives could not be switched:\n", 0), 0u);
    EXPECT_NE(text.find("\nkloxbase.hpi: "), std::string::npos);
    EXPECT_NE(text.find("\nkloxextra.ccx: "), std::string::npos);
    EXPECT_EQ(f.services.busyDepth, 0);
}

TEST(WindowPresenterCommands, AnAmpersandInTheBatchIsShownNotTakenForAMnemonic) {
    PresenterFixture f([](PresenterFixture& fixture) {
        std::filesystem::create_directories(fixture.temp.path() / "home" / "switches");
        std::ofstream journal(PathFromUtf8(fixture.home + "switches/switch-000001.journal"),
                              std::ios::binary);
        journal << "kloxmere switch journal 1\n"
                << "batch\t1\t2026-12-09T20:00:00Z\t0\tDisable Group Arm & Core\t$\n"
                << "rename\t" << Journalled(fixture.ta) << "aurora.ufo\t" << Journalled(fixture.ta)
                << "aurora.xufo\t$\n"
                << "outcome\t0\tdone\t\t$\n"
                << "end\t1\t$\n";
        std::filesystem::rename(PathFromUtf8(fixture.ta + "aurora.ufo"),
                                PathFromUtf8(fixture.ta + "aurora.xufo"));
    });
    f.presenter->UnitsMenuOpening();
    EXPECT_EQ(f.view.captions[CommandId::UndoSwitch], "&Undo Disable Group Arm && Core");
}

TEST(WindowPresenterCommands, LocationsSchemasAndTheFastLoadListGoThroughTheirDialogs) {
    PresenterFixture f;
    f.services.directoryAnswers = {"/games/ta/"};
    f.presenter->Run(CommandId::SetTALocation);
    f.presenter->Run(CommandId::SetTALocation);  // cancelled
    EXPECT_EQ(f.session->TADirectory, "/games/ta/");
    EXPECT_TRUE(f.session->TADirectoryPicked);
    f.services.fileAnswers = {"/viewer/view.exe"};
    f.presenter->Run(CommandId::SetUnitViewerLocation);
    f.presenter->Run(CommandId::SetUnitViewerLocation);  // cancelled
    EXPECT_EQ(f.session->UnitViewPath, "/viewer/view.exe");
    EXPECT_EQ(f.services.fileDialogs.back().filter, "Applications (*.exe)|*.exe");
    f.session->TADirectory = f.ta;

    const std::string schema = f.temp.str() + "state.uls";
    f.services.fileAnswers = {schema};
    f.presenter->RunToolbarButton("save");
    EXPECT_EQ(f.services.fileDialogs.back().mode, FileDialogMode::Save);
    EXPECT_TRUE(exists(schema));
    f.presenter->Run(CommandId::DisableGroup);
    EXPECT_TRUE(exists(f.ta + "kloxbase.xhpi"));

    // The preview comes first; cancelled, nothing is renamed.
    f.view.previewAnswer = false;
    f.services.fileAnswers = {schema};
    f.presenter->Run(CommandId::ImportSchema);
    EXPECT_EQ(f.view.previews, Strings{"state.uls"});
    EXPECT_TRUE(exists(f.ta + "kloxbase.xhpi"));
    f.view.previewAnswer = true;
    f.services.fileAnswers = {schema};
    f.presenter->RunToolbarButton("open");
    EXPECT_TRUE(exists(f.ta + "kloxbase.hpi"));
    EXPECT_TRUE(exists(f.ta + "retro.xufo"));
    EXPECT_EQ(f.list().cellText(0, 4), "kloxbase.hpi");

    // A schema that cannot be read is said so, without a preview.
    f.services.fileAnswers = {f.temp.str() + "missing.uls"};
    f.presenter->Run(CommandId::ImportSchema);
    EXPECT_EQ(f.view.previews.size(), 2u);
    ASSERT_FALSE(f.services.messages.empty());
    EXPECT_EQ(
        f.services.messages.back().text.rfind("The schema 'missing.uls' could not be read: ", 0),
        0u);

    const std::string list = f.temp.str() + "base.udf";
    f.services.fileAnswers = {list};
    f.presenter->Run(CommandId::ExportFastLoadList);
    EXPECT_EQ(f.services.fileDialogs.back().filter, "Unit definition file (*.udf)|*.udf");
    EXPECT_GT(std::filesystem::file_size(PathFromUtf8(list)), 0u);
    EXPECT_EQ(f.services.busyDepth, 0);
}

TEST(WindowPresenterCommands, LaunchTAStartsTheGameAndEndsTheProgramWithoutADirectory) {
    PresenterFixture f;
    f.presenter->RunToolbarButton("ta");
    ASSERT_EQ(f.services.launches.size(), 1u);
    EXPECT_EQ(f.services.launches[0].path, f.ta + "totala.exe");
    EXPECT_EQ(f.services.launches[0].workingDirectory, f.ta);
    EXPECT_EQ(f.view.closes, 0);

    f.session->TADirectory.clear();
    f.session->StoredTADirectory.clear();
    ScopedEnv noOverride("KLOXMERE_TA_DIR", std::nullopt);
    f.presenter->Run(CommandId::LaunchTA);  // the picker is cancelled
    EXPECT_EQ(f.services.launches.size(), 1u);
    EXPECT_EQ(f.view.closes, 1);
}

TEST(WindowPresenterCommands, ExitAboutTheViewerAndTheGroupEditor) {
    PresenterFixture f;
    f.presenter->Run(CommandId::About);
    f.presenter->Run(CommandId::Exit);
    EXPECT_EQ(f.view.closes, 1);
    EXPECT_NE(std::find(f.view.calls.begin(), f.view.calls.end(), "about " + f.home),
              f.view.calls.end());

    // The group editor's changes show in a rebuilt tree, whose first node the list follows.
    f.clickNode("NOVA");
    f.view.whileEditingGroups = [&f] { AddGroup(f.catalogue().GroupList, "Mine"); };
    f.presenter->Run(CommandId::EditUnitGroups);
    bool listed = false;
    for (const TreeNode& node : f.view.tree) listed = listed || node.text == "Mine";
    EXPECT_TRUE(listed);
    EXPECT_EQ(f.view.currentNode, 0u);
    EXPECT_EQ(f.presenter->LastTreeKey(), kUnitsRootKey);
    EXPECT_EQ(f.names().size(), 10u);

    // A double click on a unit exports it to the viewer, which asks where it is.
    f.view.clickRow(*f.presenter, 0);
    f.presenter->ListRowActivated();
    EXPECT_FALSE(f.services.messages.empty() && f.services.fileDialogs.empty() &&
                 f.services.launches.empty());
}

TEST(WindowPresenterCommands, TheSplitterFollowsTheDragWithinItsLimits) {
    PresenterFixture f;
    f.presenter->Resized();
    const double before = f.presenter->layout().PicSplitter.left;
    f.presenter->SplitterMouseDown(1, 15);
    EXPECT_TRUE(f.view.splitterDragging);
    f.presenter->SplitterMouseMove(1, 600);  // the bar moves by the pointer's offset
    EXPECT_EQ(f.view.layout.PicSplitter.left, before + 600);
    EXPECT_EQ(f.view.layout.PicSplitter.top, 5.0);
    f.presenter->SplitterMouseUp(1, 15);
    EXPECT_FALSE(f.view.splitterDragging);
    const auto& layout = f.view.layout;
    EXPECT_EQ(layout.TreeUnits.width, layout.PicSplitter.left);
    EXPECT_EQ(layout.ListUnits.left, layout.PicSplitter.left + window::kSplitterWidth);

    // Beyond half the width the release moves nothing; a move without a drag is nothing.
    const double kept = f.presenter->layout().PicSplitter.left;
    f.presenter->SplitterMouseMove(0, 100);
    EXPECT_EQ(f.presenter->layout().PicSplitter.left, kept);
    f.presenter->SplitterMouseDown(1, 0);
    f.presenter->SplitterMouseUp(1, f.view.inner.width);
    EXPECT_EQ(f.presenter->layout().PicSplitter.left, kept);
    // Another button ends a drag as a release would.
    f.presenter->SplitterMouseDown(1, 0);
    f.presenter->SplitterMouseDown(2, 0);
    EXPECT_FALSE(f.view.splitterDragging);
    EXPECT_FALSE(f.presenter->splitterDrag().dragging());
}

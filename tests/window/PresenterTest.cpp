// The main window's behaviour against the recording fake view: the start-up,
// the commands, the view switches and the tab, tree and list events.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "catalogue/ListRows.h"
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

}  // namespace

TEST(WindowPresenter, StartsOnEveryUnitUnderTheUnitsRootWithTheFirstUnitShown) {
    PresenterFixture f;
    ASSERT_EQ(f.started, window::MainPresenter::StartResult::Shown);
    EXPECT_TRUE(f.view.shown);
    EXPECT_EQ(f.names().size(), 10u);
    EXPECT_EQ(f.view.rows, 10u);
    EXPECT_EQ(f.view.columns.size(), 10u);
    ASSERT_FALSE(f.view.tree.empty());
    EXPECT_EQ(f.view.tree[0].key, kUnitsRootKey);
    EXPECT_TRUE(f.view.tree[0].expanded);
    EXPECT_EQ(f.view.currentNode, 0u);
    EXPECT_EQ(f.catalogue().CurrentUnit, f.catalogue().UnitList.Item(1));
    ASSERT_TRUE(f.view.unit);
    EXPECT_EQ(f.view.unit->statusName, "ARMBOLT");
    EXPECT_EQ(f.view.unit->unitCaption, "Disable &Unit");
    EXPECT_EQ(f.view.status[window::StatusPanel::Message], "Ready");
    EXPECT_FALSE(f.view.enabled[CommandId::UndoSwitch]);
    EXPECT_EQ(f.view.captions[CommandId::UndoSwitch], "&Undo Last Switch");
    EXPECT_GT(f.view.fingerprints, 0);
    EXPECT_EQ(f.services.busyDepth, 0);
}

TEST(WindowPresenter, TheUnitCommandSwitchesTheArchiveAndTheCommandFollows) {
    PresenterFixture f;
    f.presenter->Run(CommandId::SwitchUnit);
    EXPECT_TRUE(exists(f.ta + "kloxbase.xhpi"));
    EXPECT_EQ(f.view.unit->unitCaption, "Enable &Unit");
    EXPECT_EQ(f.view.unit->unitTooltip, "Enable unit");
    EXPECT_EQ(f.list().cellText(0, 4), "kloxbase.xhpi");
    EXPECT_EQ(f.list().rowIcon(0), kIconDisabled);
    EXPECT_TRUE(f.view.enabled[CommandId::UndoSwitch]);
    EXPECT_EQ(f.view.captions[CommandId::UndoSwitch].rfind("&Undo ", 0), 0u);
    EXPECT_TRUE(f.presenter->RunToolbarButton("unit"));
    EXPECT_TRUE(exists(f.ta + "kloxbase.hpi"));
    EXPECT_EQ(f.view.unit->unitCaption, "Disable &Unit");
    EXPECT_FALSE(f.presenter->RunToolbarButton("nothing"));
}

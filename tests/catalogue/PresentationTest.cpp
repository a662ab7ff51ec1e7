// The tree nodes and list rows the window shows.

#include <gtest/gtest.h>

#include "catalogue/ListRows.h"
#include "catalogue/SideGroups.h"
#include "catalogue/UnitTree.h"
#include "catalogue/ViewState.h"
#include "catalogue/WeaponConflicts.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/RecordingServices.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::RecordingServices;

namespace {

std::string describe(const TreeNode& node) {
    return node.key + " <" + node.parent.value_or("-") + "> " + node.text + " " +
           std::to_string(node.image) +
           (node.selectedImage ? "/" + std::to_string(*node.selectedImage) : "") +
           (node.expanded ? " +" : "");
}

std::vector<std::string> describe(const std::vector<TreeNode>& nodes) {
    std::vector<std::string> lines;
    for (const auto& node : nodes) {
        lines.push_back(describe(node));
    }
    return lines;
}

void addGroup(Catalogue& catalogue, const std::string& name) {
    clsUnitGroup group;
    group.Name = name;
    catalogue.GroupList.Add(std::move(group), name);
}

std::vector<ListRow> rowsOf(const Catalogue& catalogue, const ViewState& view) {
    NullPlatformServices services;
    return FillUnitList(catalogue, view, services);
}

ViewState onTab(std::int32_t tab) {
    ViewState view;
    view.CurrentTab = tab;
    return view;
}

}  // namespace

TEST(FillUnitTree, SidesWithTheirClassesThenTheUserGroups) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.unit(rev, "A", "ARM", "TANK");
    b.unit(rev, "B", "core", "KBOT");
    b.unit(rev, "C", "VERN", "SHIP");
    b.unit(rev, "D", "ARM", "kbot");
    BuildSideList(b.catalogue);
    addGroup(b.catalogue, "Mods");
    addGroup(b.catalogue, "arm");  // named like a side: left out
    EXPECT_EQ(
        describe(FillUnitTree(b.catalogue)),
        (std::vector<std::string>{
            "TA_HIERARCHY_NODE <-> TA Units 1 +", "ARM <TA_HIERARCHY_NODE> Arm 4 +",
            "ARMTANK <ARM> Tank 7", "ARMkbot <ARM> Kbot 7", "core <TA_HIERARCHY_NODE> Core 5 +",
            "coreKBOT <core> Kbot 7", "VERN <TA_HIERARCHY_NODE> Vern 6 +", "VERNSHIP <VERN> Ship 7",
            "TA_GROUP_NODE <-> TA Unit Groups 1 +", "Mods <TA_GROUP_NODE> Mods 2/3"}));
}

TEST(FillUnitTree, AnEmptyCatalogueHasTwoBareRoots) {
    CatalogueBuilder b;
    EXPECT_EQ(describe(FillUnitTree(b.catalogue)),
              (std::vector<std::string>{"TA_HIERARCHY_NODE <-> TA Units 1",
                                        "TA_GROUP_NODE <-> TA Unit Groups 1"}));
}

TEST(FindTreeNode, GivesTheNodeItsParentAndItsRoot) {
    CatalogueBuilder b;
    b.unit(b.archive("/ta/rev.hpi"), "A", "ARM", "TANK");
    BuildSideList(b.catalogue);
    addGroup(b.catalogue, "Mods");
    auto tree = FillUnitTree(b.catalogue);

    auto classNode = FindTreeNode(tree, "armtank");
    ASSERT_TRUE(classNode);
    EXPECT_EQ(classNode->key, "ARMTANK");
    EXPECT_EQ(classNode->text, "Tank");
    EXPECT_EQ(classNode->parentKey, "ARM");
    EXPECT_EQ(classNode->parentText, "Arm");
    EXPECT_EQ(classNode->rootKey, kUnitsRootKey);

    auto group = FindTreeNode(tree, "mods");
    ASSERT_TRUE(group);
    EXPECT_EQ(group->parentKey, kGroupsRootKey);
    EXPECT_EQ(group->rootKey, kGroupsRootKey);

    auto root = FindTreeNode(tree, kUnitsRootKey);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->rootKey, kUnitsRootKey);
    EXPECT_TRUE(root->parentKey.empty());
    EXPECT_FALSE(FindTreeNode(tree, "nowhere"));
}

TEST(FillUnitList, TheUnitsTabShowsTheSelectedUnitsWithTheirFields) {
    CatalogueBuilder b;
    clsUnit& unit = b.unit(b.archive("/ta/rev.hpi"), "ARMCOM");
    unit.ID = "12";
    unit.Callname = "Commander";
    unit.Description = "Builds things";
    unit.MaxDamage = "3000";
    unit.BuildTime = "100";
    unit.CostEnergy = "5";
    unit.CostMetal = "6";
    b.unit(b.archive("/ta/mod.ufo"), "MODUNIT");
    RecordingServices services;
    auto rows = FillUnitList(b.catalogue, onTab(kUnitsTab), services);
    EXPECT_EQ(services.calls, (std::vector<std::string>{"busy on", "busy off"}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].key, b.catalogue.UnitKey(unit));
    EXPECT_EQ(rows[0].key, "ARMCOM1");
    EXPECT_EQ(rows[0].text, "ARMCOM");
    EXPECT_EQ(rows[0].icon, kIconNormal);
    EXPECT_EQ(rows[0].unit, &unit);
    EXPECT_EQ(rows[0].subItems,
              (std::vector<std::string>{"12", "Commander", "Builds things", "rev.hpi",
                                        "units\\ARMCOM.FBI", "3000", "100", "5", "6"}));
    EXPECT_EQ(rows[1].key, "MODUNIT2");

    ViewState nothing = onTab(kUnitsTab);
    nothing.ShowCavedog = nothing.ShowThirdParty = false;
    EXPECT_TRUE(rowsOf(b.catalogue, nothing).empty());
}

TEST(FillUnitList, TheStateIconShowsDisabledFirstThenLiveConflicts) {
    CatalogueBuilder b;
    auto& enabled = b.archive("/ta/rev.hpi");
    auto& disabled = b.archive("/ta/mod.xufo");
    auto& third = b.archive("/ta/third.ufo");
    b.weapon(enabled, "GUN", 5);
    b.weapon(disabled, "MODGUN", 5);
    b.weapon(third, "LASER", 9);
    b.weapon(third, "BEAM", 9);
    clsUnit& harmless = b.unit(enabled, "HARMLESS", "ARM", "TANK", {"GUN"});
    clsUnit& offWithConflict = b.unit(disabled, "OFF", "ARM", "TANK", {"MODGUN"});
    clsUnit& live = b.unit(third, "LIVE", "ARM", "TANK", {"LASER"});
    b.unit(third, "PARTNER", "ARM", "TANK", {"BEAM"});
    clsUnit& plain = b.unit(enabled, "PLAIN");
    b.attachWeapons();
    NullPlatformServices services;
    FindWeaponConflicts(b.catalogue, services, false);
    EXPECT_EQ(StateIcon(harmless), kIconNormal);
    EXPECT_EQ(StateIcon(offWithConflict), kIconDisabled);
    EXPECT_EQ(StateIcon(live), kIconConflict);
    EXPECT_EQ(StateIcon(plain), kIconNormal);

    auto conflicts = rowsOf(b.catalogue, onTab(kConflictsTab));
    std::vector<std::pair<std::string, int>> shown;
    for (const auto& row : conflicts) {
        shown.emplace_back(row.text, row.icon);
    }
    EXPECT_EQ(shown, (std::vector<std::pair<std::string, int>>{{"HARMLESS", kIconNormal},
                                                               {"OFF", kIconDisabled},
                                                               {"LIVE", kIconConflict},
                                                               {"PARTNER", kIconConflict}}));
    EXPECT_EQ(conflicts[2].subItems,
              (std::vector<std::string>{"", "", "third.ufo", live.ConflictDescription()}));
    EXPECT_EQ(rowsOf(b.catalogue, onTab(kUnitsTab))[1].icon, kIconDisabled);
}

TEST(FillUnitList, BuildMenuConflictsFollowTheUnitRowsWithoutKeyOrText) {
    CatalogueBuilder b;
    b.catalogue.MenuConflictList = {"first message", "second message"};
    auto rows = rowsOf(b.catalogue, onTab(kConflictsTab));
    ASSERT_EQ(rows.size(), 2u);
    for (const auto& row : rows) {
        EXPECT_FALSE(row.key);
        EXPECT_EQ(row.text, "");
        EXPECT_EQ(row.icon, kIconConflict);
        EXPECT_EQ(row.unit, nullptr);
    }
    EXPECT_EQ(rows[1].subItems, (std::vector<std::string>{"", "", "", "second message"}));
}

TEST(FillUnitList, WeaponRowsAreKeyedByNameAndPositionWithoutRepeats) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.weapon(rev, "ARM1", 1);
    for (int i = 2; i <= 10; ++i) {
        b.weapon(rev, "W" + std::to_string(i), i);
    }
    b.weapon(rev, "ARM", 11);  // ARM and 11 would repeat ARM1 and 1
    auto rows = rowsOf(b.catalogue, onTab(kWeaponsTab));
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[0].key, "ARM11");
    EXPECT_EQ(rows[0].subItems, (std::vector<std::string>{"1", "rev.hpi", "weapons\\ARM1.TDF"}));
    EXPECT_EQ(rows[1].key, "W22");
    EXPECT_EQ(rows[10].key, "ARM_11");
    EXPECT_EQ(rows[10].text, "ARM");
}

TEST(FillUnitList, AvailableWeaponsAreTheNumbersUpTo255NoWeaponCarries) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.weapon(rev, "ZERO", 0);
    b.weapon(rev, "ONE", 1);
    b.weapon(rev, "TOP", 255);
    b.weapon(rev, "BEYOND", 300);
    b.weapon(rev, "NEGATIVE", -4);
    auto rows = rowsOf(b.catalogue, onTab(kAvailableWeaponsTab));
    ASSERT_EQ(rows.size(), 253u);
    EXPECT_EQ(rows.front().text, "2");
    EXPECT_EQ(rows.back().text, "254");
    EXPECT_FALSE(rows.front().key);
    EXPECT_EQ(rows.front().icon, kIconNormal);
}

TEST(RefreshListState, UnitRowsFollowTheirArchivesWithoutChangingTheRows) {
    CatalogueBuilder b;
    auto& mod = b.archive("/ta/mod.ufo");
    b.weapon(mod, "GUN", 5);
    b.weapon(mod, "OTHERGUN", 5);
    b.unit(mod, "A", "ARM", "TANK", {"GUN"});
    b.unit(mod, "B", "ARM", "TANK", {"OTHERGUN"});
    b.attachWeapons();
    NullPlatformServices services;
    FindWeaponConflicts(b.catalogue, services, false);
    b.catalogue.MenuConflictList = {"menu message"};
    ViewState units = onTab(kUnitsTab);
    ViewState conflicts = onTab(kConflictsTab);
    auto unitRows = rowsOf(b.catalogue, units);
    auto conflictRows = rowsOf(b.catalogue, conflicts);
    auto menuRow = conflictRows.back();

    mod.HPI->Filename = "/ta/mod.xufo";  // as a rename leaves it
    RefreshListState(b.catalogue, units, unitRows);
    RefreshListState(b.catalogue, conflicts, conflictRows);
    ASSERT_EQ(unitRows.size(), 2u);
    ASSERT_EQ(conflictRows.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(unitRows[i].icon, kIconDisabled);
        EXPECT_EQ(unitRows[i].subItems[3], "mod.xufo");
        EXPECT_EQ(conflictRows[i].icon, kIconDisabled);
        EXPECT_EQ(conflictRows[i].subItems[2], "mod.xufo");
    }
    EXPECT_EQ(conflictRows.back().subItems, menuRow.subItems);
    EXPECT_EQ(conflictRows.back().icon, kIconConflict);

    // A row found by its key alone is refreshed too; other tabs are left alone.
    std::vector<ListRow> keyed = {ListRow{"A1", "A", kIconNormal, {"", "", "", "old"}, nullptr}};
    RefreshListState(b.catalogue, units, keyed);
    EXPECT_EQ(keyed[0].subItems[3], "mod.xufo");
    std::vector<ListRow> weaponRows = {
        ListRow{"A1", "A", kIconNormal, {"", "", "", "old"}, nullptr}};
    RefreshListState(b.catalogue, onTab(kWeaponsTab), weaponRows);
    EXPECT_EQ(weaponRows[0].subItems[3], "old");
}

TEST(ColumnSet, EachTabHasItsColumns) {
    auto units = ColumnSet("Units");
    ASSERT_EQ(units.size(), 10u);
    EXPECT_EQ(units[4].key, "file");
    EXPECT_EQ(units[4].header, "HPI file");
    EXPECT_EQ(units[9].header, "Cost metal");
    EXPECT_EQ(ColumnSet("Conflicts").back().widthTwips, 10000);
    EXPECT_EQ(ColumnSet("Weapons").size(), 4u);
    auto available = ColumnSet("Available Weapons");
    ASSERT_EQ(available.size(), 1u);
    EXPECT_EQ(available[0].header, "ID");
    EXPECT_EQ(available[0].widthTwips, 500);
    EXPECT_TRUE(ColumnSet("Other").empty());
    for (auto caption : kTabCaptions) {
        EXPECT_FALSE(ColumnSet(caption).empty());
    }
}

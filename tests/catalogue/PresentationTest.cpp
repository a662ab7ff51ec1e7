// The tree nodes and list rows the window shows.

#include <gtest/gtest.h>

#include "catalogue/GroupEditing.h"
#include "catalogue/ListRows.h"
#include "catalogue/MenuConflicts.h"
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

using Strings = std::vector<std::string>;

std::vector<ListRow> rowsOf(const Catalogue& catalogue, std::int32_t tab) {
    ViewState view;
    view.CurrentTab = tab;
    NullPlatformServices services;
    return FillUnitList(catalogue, view, services);
}

// "text icon [column 3 or 4]" per row.
Strings describe(const std::vector<ListRow>& rows, std::size_t archiveColumn) {
    Strings lines;
    for (const auto& row : rows) {
        lines.push_back(row.text + " " + std::to_string(row.icon) + " " +
                        row.subItems.at(archiveColumn - 1));
    }
    return lines;
}

}  // namespace

TEST(FillUnitTree, SidesWithTheirClassesThenTheUserGroupsUnderUniqueKeys) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.unit(rev, "A", "ARM", "TANK");
    b.unit(rev, "B", "core", "KBOT");
    b.unit(rev, "C", "VERN", "SHIP");
    BuildSideList(b.catalogue);
    AddGroup(b.catalogue.GroupList, "Mods");
    AddGroup(b.catalogue.GroupList, "arm");  // named like a side: left out
    auto tree = FillUnitTree(b.catalogue);
    Strings nodes;
    for (const auto& node : tree) {
        nodes.push_back(node.key + " <" + node.parent.value_or("") + "> " + node.text + " " +
                        std::to_string(node.image) +
                        std::to_string(node.selectedImage.value_or(0)) +
                        (node.expanded ? "+" : ""));
    }
    EXPECT_EQ(nodes, (Strings{"TA_HIERARCHY_NODE <> TA Units 10+", "ARM <TA_HIERARCHY_NODE> Arm 40",
                              "ARMTANK <ARM> Tank 70", "core <TA_HIERARCHY_NODE> Core 50",
                              "coreKBOT <core> Kbot 70", "VERN <TA_HIERARCHY_NODE> Vern 60",
                              "VERNSHIP <VERN> Ship 70", "TA_GROUP_NODE <> TA Unit Groups 10+",
                              "Mods <TA_GROUP_NODE> Mods 23"}));

    auto classNode = FindTreeNode(tree, "armtank");
    ASSERT_TRUE(classNode);
    EXPECT_EQ(classNode->parentText, "Arm");
    EXPECT_EQ(classNode->rootKey, kUnitsRootKey);
    EXPECT_EQ(FindTreeNode(tree, "mods")->rootKey, kGroupsRootKey);
}

TEST(FillUnitTree, ARootWithoutChildrenStaysClosed) {
    CatalogueBuilder b;
    for (const auto& node : FillUnitTree(b.catalogue)) EXPECT_FALSE(node.expanded) << node.key;
}

TEST(FillUnitList, UnitRowsCarryTheirKeyFieldsAndStateIcon) {
    CatalogueBuilder b;
    auto& enabled = b.archive("/ta/rev.hpi");
    auto& disabled = b.archive("/ta/mod.xufo");
    b.weapon(enabled, "GUN", 5);
    b.weapon(disabled, "MODGUN", 5);
    b.weapon(enabled, "LASER", 9);
    b.weapon(enabled, "BEAM", 9);
    clsUnit& harmless = b.unit(enabled, "HARMLESS", "ARM", "TANK", {"GUN"});
    b.unit(disabled, "OFF", "ARM", "TANK", {"MODGUN"});
    b.unit(enabled, "LIVE", "ARM", "TANK", {"LASER"});
    b.unit(enabled, "PARTNER", "ARM", "TANK", {"BEAM"});
    b.unit(enabled, "PLAIN");
    b.attachWeapons();
    NullPlatformServices services;
    FindWeaponConflicts(b.catalogue, services, false);
    harmless.ID = "12";
    harmless.Description = "Builds";
    harmless.CostMetal = "6";
    b.menuEntry(enabled, "ARMCOM", "1", "2", "ARMA");
    b.menuEntry(enabled, "armcom", "1", "2", "ARMB");
    FindMenuConflicts(b.catalogue, services);
    const std::string message =
        "ARMA & ARMB are both trying to share menu 1 button 2 on unit ARMCOM";

    RecordingServices recording;
    auto units = FillUnitList(b.catalogue, ViewState(), recording);
    EXPECT_EQ(recording.calls, (Strings{"busy on", "busy off"}));
    EXPECT_EQ(units[0].key, b.catalogue.UnitKey(harmless));
    EXPECT_EQ(units[0].unit, &harmless);
    EXPECT_EQ(units[0].subItems,
              (Strings{"12", "", "Builds", "rev.hpi", "units\\HARMLESS.FBI", "", "", "", "6"}));
    EXPECT_EQ(describe(units, 4), (Strings{"HARMLESS 1 rev.hpi", "OFF 3 mod.xufo", "LIVE 2 rev.hpi",
                                           "PARTNER 2 rev.hpi", "PLAIN 1 rev.hpi"}));

    auto conflicts = rowsOf(b.catalogue, kConflictsTab);
    ASSERT_EQ(conflicts.size(), 5u);
    conflicts.pop_back();
    EXPECT_EQ(describe(conflicts, 3), (Strings{"HARMLESS 1 rev.hpi", "OFF 3 mod.xufo",
                                               "LIVE 2 rev.hpi", "PARTNER 2 rev.hpi"}));
    EXPECT_EQ(conflicts[2].subItems[3], b.catalogue.UnitList.Item(3)->ConflictDescription());
    ListRow menu = rowsOf(b.catalogue, kConflictsTab).back();
    EXPECT_FALSE(menu.key);
    EXPECT_EQ(menu.text, "");
    EXPECT_EQ(menu.icon, kIconConflict);
    EXPECT_EQ(menu.subItems, (Strings{"", "", "", message}));
}

TEST(FillUnitList, WeaponTabsListWeaponsAndTheFreeNumbersUpTo255) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    const std::vector<std::pair<std::string, int>> numbered = {
        {"ARM1", 0}, {"W2", 1}, {"W3", 255}, {"W4", 300}, {"W5", -4}};
    for (const auto& [name, id] : numbered) {
        b.weapon(rev, name, id);
    }
    for (int i = 6; i <= 10; ++i) {
        b.weapon(rev, "W" + std::to_string(i), 1);
    }
    b.weapon(rev, "ARM", 1);  // ARM and 11 would repeat the key of ARM1 and 1
    auto weapons = rowsOf(b.catalogue, kWeaponsTab);
    EXPECT_EQ(weapons[0].key, "ARM11");
    EXPECT_EQ(weapons[0].subItems, (Strings{"0", "rev.hpi", "weapons\\ARM1.TDF"}));
    EXPECT_EQ(weapons[10].key, "ARM_11");

    auto free = rowsOf(b.catalogue, kAvailableWeaponsTab);
    ASSERT_EQ(free.size(), 253u);
    EXPECT_EQ(free.front().text, "2");
    EXPECT_EQ(free.back().text, "254");
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
    auto units = rowsOf(b.catalogue, kUnitsTab);
    auto conflicts = rowsOf(b.catalogue, kConflictsTab);
    auto weapons = rowsOf(b.catalogue, kWeaponsTab);

    mod.HPI->Filename = "/ta/mod.xufo";  // as a rename leaves it
    ViewState view;
    RefreshListState(b.catalogue, view, units);
    EXPECT_EQ(describe(units, 4), (Strings{"A 3 mod.xufo", "B 3 mod.xufo"}));
    view.CurrentTab = kConflictsTab;
    RefreshListState(b.catalogue, view, conflicts);
    EXPECT_EQ(describe(conflicts, 3), (Strings{"A 3 mod.xufo", "B 3 mod.xufo"}));
    view.CurrentTab = kWeaponsTab;
    RefreshListState(b.catalogue, view, weapons);
    EXPECT_EQ(weapons[0].subItems[1], "mod.ufo");
}

TEST(ListItems, CellsAreWordedFromTheRecordsAsTheyAreNow) {
    CatalogueBuilder b;
    auto& mod = b.archive("/ta/mod.ufo");
    b.weapon(mod, "GUN", 5);
    b.weapon(mod, "OTHERGUN", 5);
    clsUnit& a = b.unit(mod, "A", "ARM", "TANK", {"GUN"});
    b.unit(mod, "B", "ARM", "TANK", {"OTHERGUN"});
    b.menuEntry(mod, "A", "1", "1", "X");
    b.menuEntry(mod, "A", "1", "1", "Y");
    b.attachWeapons();
    NullPlatformServices services;
    FindWeaponConflicts(b.catalogue, services, false);
    FindMenuConflicts(b.catalogue, services);
    ViewState view;
    view.CurrentTab = kConflictsTab;
    auto items = FillUnitItems(b.catalogue, view, services);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(ItemUnit(b.catalogue, items[0]), &a);
    EXPECT_EQ(ItemKey(b.catalogue, items[0]), b.catalogue.UnitKey(a));
    EXPECT_EQ(ItemText(b.catalogue, kConflictsTab, items[0], 4), a.ConflictDescription());
    EXPECT_EQ(ItemText(b.catalogue, kConflictsTab, items[2], 4),
              b.catalogue.MenuConflictList[0].Message());
    EXPECT_EQ(ItemText(b.catalogue, kConflictsTab, items[2], 0), "");
    EXPECT_FALSE(ItemKey(b.catalogue, items[2]));
    EXPECT_EQ(ItemIcon(b.catalogue, items[2]), kIconConflict);
    EXPECT_EQ(ItemText(b.catalogue, kConflictsTab, items[0], 9), "");  // past the columns

    mod.HPI->Filename = "/ta/mod.xufo";
    EXPECT_EQ(ItemText(b.catalogue, kConflictsTab, items[0], 3), "mod.xufo");
    EXPECT_EQ(ItemIcon(b.catalogue, items[0]), kIconDisabled);
}

TEST(SortItems, NumbersByValueTextWithoutCaseAndLongCellsByTheirWholeText) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    const Strings costs = {"1000", "200", "", "abc", "-5", "12.5", "Abc", "30"};
    for (std::size_t i = 0; i < costs.size(); ++i) {
        b.unit(rev, "U" + std::to_string(i)).CostMetal = costs[i];
    }
    std::string longText(100, 'x');
    b.unit(rev, "bravo").Description = longText + "b";
    b.unit(rev, "Alpha").Description = longText + "a";
    b.unit(rev, "alpha").Description = longText;
    NullPlatformServices services;
    auto items = FillUnitItems(b.catalogue, ViewState(), services);
    auto column = [&](std::size_t c) {
        Strings texts;
        for (const auto& item : items) texts.push_back(ItemText(b.catalogue, kUnitsTab, item, c));
        return texts;
    };

    SortItems(b.catalogue, kUnitsTab, 9, items);  // Cost metal
    EXPECT_EQ(column(9),
              (Strings{"", "", "", "", "abc", "Abc", "-5", "12.5", "30", "200", "1000"}));
    auto once = items;
    SortItems(b.catalogue, kUnitsTab, 9, items);  // a second click does not reverse
    EXPECT_EQ(items, once);

    SortItems(b.catalogue, kUnitsTab, 0, items);  // Name: by text without regard to case
    EXPECT_EQ(column(0).front(), "Alpha");
    EXPECT_EQ(column(0)[1], "alpha");  // equal without case: their order before stays

    SortItems(b.catalogue, kUnitsTab, 3, items);  // Description: past the kept prefix
    Strings descriptions = column(3);
    EXPECT_EQ(Strings(descriptions.end() - 3, descriptions.end()),
              (Strings{longText, longText + "a", longText + "b"}));
}

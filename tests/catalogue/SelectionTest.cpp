// Side grouping and the rule that decides which units a tree node stands for.

#include <gtest/gtest.h>

#include "catalogue/GroupEditing.h"
#include "catalogue/SideGroups.h"
#include "tests/catalogue/CatalogueBuilder.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;

namespace {

using Strings = std::vector<std::string>;

TreeNodeRef userGroupNode(const std::string& name) {
    return {name, name, kGroupsRootKey, "TA Unit Groups", kGroupsRootKey};
}

TreeNodeRef classNode(const std::string& side, const std::string& tedClass) {
    return {side + tedClass, tedClass, side, side, kUnitsRootKey};
}

Strings selected(const Catalogue& catalogue, const ViewState& view) {
    Strings names;
    for (const clsUnit* unit : catalogue.UnitList) {
        if (IsUnitSelected(*unit, view, catalogue.GroupList)) {
            names.push_back(unit->Name);
        }
    }
    return names;
}

}  // namespace

TEST(BuildSideList, SidesAndTheirClassesGroupWithoutRegardToCaseUnderTheirFirstSpelling) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.unit(rev, "A", "ARM", "TANK");
    b.unit(rev, "B", "arm", "KBOT");
    b.unit(rev, "C", "Core", "TANK");
    b.unit(rev, "D", "arm", "tank");
    BuildSideList(b.catalogue);
    Strings sides;
    for (const auto& side : b.catalogue.SideList) {
        sides.push_back(side.Name + ":");
        for (const auto& tedClass : side.Keywords) {
            sides.back() += " " + tedClass;
        }
    }
    EXPECT_EQ(sides, (Strings{"ARM: TANK KBOT", "Core: TANK"}));
}

TEST(UnitSelection, ViewSwitchesAndUserGroupsGoByTheArchivePath) {
    CatalogueBuilder b;
    b.unit(b.archive("C:\\Games\\TA\\rev.hpi"), "GAME");
    b.unit(b.archive("C:\\Games\\TA\\totala2.XCCX"), "GAMEOFF");
    b.unit(b.archive("C:\\Games\\TA\\XTA_units.ufo"), "XTA");
    b.unit(b.archive("C:\\Games\\TA\\old.xufo"), "MODOFF");
    auto& groups = b.catalogue.GroupList;
    AddGroup(groups, "Xta");
    AddKeyword(*groups.Find("Xta"), "nothing");
    AddKeyword(*groups.Find("Xta"), "xta");
    AddGroup(groups, "Path");
    AddKeyword(*groups.Find("Path"), "games\\ta");  // the directory part counts
    AddGroup(groups, "Empty");
    groups.Add(clsUnitGroup{"Blank", {}}, "Blank");
    groups.Find("Blank")->Keywords.Add("");  // an empty keyword occurs everywhere

    ViewState view;
    EXPECT_EQ(selected(b.catalogue, view), (Strings{"GAME", "GAMEOFF", "XTA", "MODOFF"}));
    view.ShowCavedog = false;
    EXPECT_EQ(selected(b.catalogue, view), (Strings{"XTA", "MODOFF"}));
    view.selectedNode = userGroupNode("Blank");
    EXPECT_EQ(selected(b.catalogue, view), (Strings{"XTA", "MODOFF"}));
    view.ShowCavedog = true;
    view.selectedNode = userGroupNode("XTA");
    EXPECT_EQ(selected(b.catalogue, view), Strings{"XTA"});
    view.selectedNode = userGroupNode("Path");
    EXPECT_EQ(selected(b.catalogue, view).size(), 4u);
    view.selectedNode = userGroupNode("Empty");
    EXPECT_TRUE(selected(b.catalogue, view).empty());
    view.selectedNode = userGroupNode("Xta");
    view.ShowThirdParty = false;
    EXPECT_TRUE(selected(b.catalogue, view).empty());
}

TEST(UnitSelection, ClassNodesJoinSideAndClassWithoutASeparator) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.unit(rev, "ARMATANK", "ARMA", "TANK");
    b.unit(rev, "ARMTANK", "ARM", "ATANK");
    b.unit(rev, "ARMKBOT", "arm", "KBOT");
    b.unit(rev, "TANKSIDE", "tank", "ANY");
    ViewState view;
    view.selectedNode = classNode("Arm", "Atank");
    EXPECT_EQ(selected(b.catalogue, view), (Strings{"ARMATANK", "ARMTANK"}));
    view.selectedNode = classNode("Arm", "Tank");  // the side tank matches the text alone
    EXPECT_EQ(selected(b.catalogue, view), Strings{"TANKSIDE"});
    view.selectedNode = {"arm", "Arm", kUnitsRootKey, "TA Units", kUnitsRootKey};
    EXPECT_EQ(selected(b.catalogue, view), (Strings{"ARMTANK", "ARMKBOT"}));
}

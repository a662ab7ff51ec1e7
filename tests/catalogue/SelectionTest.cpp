// Side grouping and the rule that decides which units a tree node stands for.

#include <gtest/gtest.h>

#include "catalogue/SideGroups.h"
#include "tests/catalogue/CatalogueBuilder.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;

namespace {

std::vector<std::string> namesOf(const Collection<clsUnitGroup>& groups) {
    std::vector<std::string> names;
    for (const auto& group : groups) {
        names.push_back(group.Name);
    }
    return names;
}

std::vector<std::string> keywordsOf(const clsUnitGroup& group) {
    return {group.Keywords.begin(), group.Keywords.end()};
}

TreeNodeRef userGroupNode(const std::string& name) {
    return {name, name, kGroupsRootKey, "TA Unit Groups", kGroupsRootKey};
}

TreeNodeRef sideNode(const std::string& side) {
    return {side, side, kUnitsRootKey, "TA Units", kUnitsRootKey};
}

TreeNodeRef classNode(const std::string& side, const std::string& tedClass) {
    return {side + tedClass, tedClass, side, side, kUnitsRootKey};
}

// The names of the units the node selects, in UnitList order.
std::vector<std::string> selected(const Catalogue& catalogue, const ViewState& view) {
    std::vector<std::string> names;
    for (const clsUnit* unit : catalogue.UnitList) {
        if (IsUnitSelected(*unit, view, catalogue.GroupList)) {
            names.push_back(unit->Name);
        }
    }
    return names;
}

void addGroup(Catalogue& catalogue, const std::string& name, std::vector<std::string> keywords) {
    clsUnitGroup group;
    group.Name = name;
    for (auto& keyword : keywords) {
        group.Keywords.Add(keyword);
    }
    catalogue.GroupList.Add(std::move(group), name);
}

}  // namespace

TEST(BuildSideList, SidesGroupWithoutRegardToCaseUnderTheirFirstSpelling) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.unit(rev, "A", "ARM", "TANK");
    b.unit(rev, "B", "arm", "KBOT");
    b.unit(rev, "C", "Core", "TANK");
    b.unit(rev, "D", "arm", "tank");
    BuildSideList(b.catalogue);
    EXPECT_EQ(namesOf(b.catalogue.SideList), (std::vector<std::string>{"ARM", "Core"}));
    EXPECT_EQ(keywordsOf(*b.catalogue.SideList.Find("arm")),
              (std::vector<std::string>{"TANK", "KBOT"}));
    EXPECT_EQ(keywordsOf(*b.catalogue.SideList.Find("core")), std::vector<std::string>{"TANK"});
}

TEST(UnitSelection, TheViewSwitchesGoByTheArchivesLastThreeLetters) {
    CatalogueBuilder b;
    b.unit(b.archive("/ta/rev.hpi"), "GAME");
    b.unit(b.archive("/ta/totala2.XCCX"), "GAMEOFF");
    b.unit(b.archive("/ta/mod.ufo"), "MOD");
    b.unit(b.archive("/ta/old.xufo"), "MODOFF");
    ViewState view;
    EXPECT_EQ(selected(b.catalogue, view),
              (std::vector<std::string>{"GAME", "GAMEOFF", "MOD", "MODOFF"}));
    view.ShowCavedog = false;
    EXPECT_EQ(selected(b.catalogue, view), (std::vector<std::string>{"MOD", "MODOFF"}));
    view.ShowCavedog = true;
    view.ShowThirdParty = false;
    EXPECT_EQ(selected(b.catalogue, view), (std::vector<std::string>{"GAME", "GAMEOFF"}));
    view.ShowCavedog = false;
    EXPECT_TRUE(selected(b.catalogue, view).empty());
    view.ShowCavedog = view.ShowThirdParty = true;
    view.selectedNode = {kGroupsRootKey, "TA Unit Groups", "", "", kGroupsRootKey};
    EXPECT_EQ(selected(b.catalogue, view).size(), 4u);
}

TEST(UnitSelection, AUserGroupMatchesItsKeywordsAnywhereInTheArchivePath) {
    CatalogueBuilder b;
    b.unit(b.archive("C:\\Games\\TA\\XTA_units.ufo"), "XTA");
    b.unit(b.archive("C:\\Games\\TA\\rev.hpi"), "REV");
    b.unit(b.archive("C:\\Games\\TA\\other.ufo"), "OTHER");
    addGroup(b.catalogue, "Xta", {"nothing", "xta"});
    addGroup(b.catalogue, "Everything", {"games\\ta"});
    addGroup(b.catalogue, "Empty", {});
    addGroup(b.catalogue, "Blank", {""});
    ViewState view;
    view.selectedNode = userGroupNode("XTA");
    EXPECT_EQ(selected(b.catalogue, view), std::vector<std::string>{"XTA"});
    view.selectedNode = userGroupNode("Everything");
    EXPECT_EQ(selected(b.catalogue, view), (std::vector<std::string>{"XTA", "REV", "OTHER"}));
    view.selectedNode = userGroupNode("Empty");
    EXPECT_TRUE(selected(b.catalogue, view).empty());
    view.selectedNode = userGroupNode("Blank");
    view.ShowCavedog = false;
    EXPECT_EQ(selected(b.catalogue, view), (std::vector<std::string>{"XTA", "OTHER"}));
    view.selectedNode = userGroupNode("Xta");
    view.ShowCavedog = true;
    view.ShowThirdParty = false;
    EXPECT_TRUE(selected(b.catalogue, view).empty());
    view.selectedNode = userGroupNode("Gone");  // a group no longer in GroupList
    EXPECT_TRUE(selected(b.catalogue, view).empty());
}

TEST(UnitSelection, SideAndClassNodesJoinSideAndClassWithoutASeparator) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.unit(rev, "ARMATANK", "ARMA", "TANK");
    b.unit(rev, "ARMTANK", "ARM", "ATANK");
    b.unit(rev, "ARMKBOT", "arm", "KBOT");
    b.unit(rev, "TANKSIDE", "tank", "ANY");
    b.unit(rev, "COREKBOT", "core", "KBOT");
    ViewState view;
    view.selectedNode = classNode("ARMA", "TANK");  // the side "tank" matches the text TANK
    EXPECT_EQ(selected(b.catalogue, view),
              (std::vector<std::string>{"ARMATANK", "ARMTANK", "TANKSIDE"}));
    view.selectedNode = classNode("Arm", "Atank");
    EXPECT_EQ(selected(b.catalogue, view), (std::vector<std::string>{"ARMATANK", "ARMTANK"}));
    view.selectedNode = classNode("Arm", "Tank");  // also the units of the side "tank"
    EXPECT_EQ(selected(b.catalogue, view), std::vector<std::string>{"TANKSIDE"});
    view.selectedNode = classNode("Arm", "Kbot");
    EXPECT_EQ(selected(b.catalogue, view), std::vector<std::string>{"ARMKBOT"});
    view.selectedNode = sideNode("Arm");
    EXPECT_EQ(selected(b.catalogue, view), (std::vector<std::string>{"ARMTANK", "ARMKBOT"}));
}

TEST(UnitSelection, ANodeOutsideBothBranchesSelectsEveryUnitThatPassesTheView) {
    CatalogueBuilder b;
    b.unit(b.archive("/ta/rev.hpi"), "GAME");
    b.unit(b.archive("/ta/mod.ufo"), "MOD");
    ViewState view;
    view.selectedNode = {"ELSEWHERE", "Elsewhere", "", "", "ELSEWHERE"};
    EXPECT_EQ(selected(b.catalogue, view), (std::vector<std::string>{"GAME", "MOD"}));
    view.ShowThirdParty = false;
    EXPECT_EQ(selected(b.catalogue, view), std::vector<std::string>{"GAME"});
}

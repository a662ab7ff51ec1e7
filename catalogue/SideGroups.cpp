#include "catalogue/SideGroups.h"

#include "archive/clsHPI.h"
#include "base/TextCase.h"
#include "catalogue/Catalogue.h"
#include "catalogue/clsUnitGroup.h"
#include "units/clsUnit.h"

namespace kloxmere {

namespace {

// Whether the unit's archive name ends in `extension`. The extensions are
// ASCII, so comparing the last bytes is comparing the last characters, and
// spares decoding the whole path for every unit of a long list.
bool archiveEndsIn(const clsUnit& unit, std::string_view extension) {
    return unit.HPI && EndsWithNoCase(unit.HPI->Filename, extension);
}

}  // namespace

void BuildSideList(Catalogue& catalogue) {
    for (const clsUnit* unit : catalogue.UnitList) {
        if (clsUnitGroup* side = catalogue.SideList.Find(unit->Side)) {
            side->Keywords.tryAdd(unit->Class, unit->Class);  // a known class stays once
            continue;
        }
        clsUnitGroup side;
        side.Name = unit->Side;
        side.Keywords.Add(unit->Class, unit->Class);
        catalogue.SideList.Add(std::move(side), unit->Side);
    }
}

bool IsCavedogUnit(const clsUnit& unit) {
    return archiveEndsIn(unit, "hpi") || archiveEndsIn(unit, "ccx");
}

bool IsThirdPartyUnit(const clsUnit& unit) {
    return archiveEndsIn(unit, "ufo");
}

UnitSelection::UnitSelection(const ViewState& view, const Collection<clsUnitGroup>& GroupList)
    : m_showCavedog(view.ShowCavedog), m_showThirdParty(view.ShowThirdParty) {
    const TreeNodeRef& node = view.selectedNode;
    if (EqualsNoCase(node.key, kGroupsRootKey) || EqualsNoCase(node.key, kUnitsRootKey)) {
        m_kind = NodeKind::Root;
    } else if (EqualsNoCase(node.parentKey, kGroupsRootKey)) {
        m_kind = NodeKind::UserGroup;
        // A node without its group (the tree is rebuilt whenever groups
        // change, so this is not expected) selects nothing.
        if (const clsUnitGroup* group = GroupList.Find(node.key)) {
            for (const std::string& keyword : group->Keywords) {
                m_foldedKeywords.push_back(FoldCase(keyword));
            }
        }
    } else if (EqualsNoCase(node.rootKey, kUnitsRootKey)) {
        m_kind = NodeKind::SideOrClass;
        m_foldedText = FoldCase(node.text);
        m_foldedJoined = FoldCase(node.parentText + node.text);
    }
}

bool UnitSelection::passesViewFilter(const clsUnit& unit) const {
    return (m_showCavedog && IsCavedogUnit(unit)) || (m_showThirdParty && IsThirdPartyUnit(unit));
}

bool UnitSelection::selects(const clsUnit& unit) const {
    if (!passesViewFilter(unit)) {
        return false;
    }
    switch (m_kind) {
        case NodeKind::Root:
        case NodeKind::Other:
            return true;
        case NodeKind::UserGroup: {
            if (m_foldedKeywords.empty()) {
                return false;
            }
            std::string path = FoldCase(unit.HPI->Filename);  // the view filter saw an archive
            for (const std::string& keyword : m_foldedKeywords) {
                if (path.find(keyword) != std::string::npos) {
                    return true;
                }
            }
            return false;
        }
        case NodeKind::SideOrClass: {
            if (FoldCase(unit.Side) == m_foldedText) {
                return true;
            }
            return FoldCase(unit.Side + unit.Class.view()) == m_foldedJoined;
        }
    }
    return false;
}

bool IsUnitSelected(const clsUnit& unit, const ViewState& view,
                    const Collection<clsUnitGroup>& GroupList) {
    return UnitSelection(view, GroupList).selects(unit);
}

}  // namespace kloxmere

#pragma once

// The two ways units are grouped: by the side and class of their definitions
// (SideList, the "TA Units" branch of the tree) and by the user's filename
// keywords (GroupList, the "TA Unit Groups" branch); and the rule that decides
// which units a selected tree node stands for.

#include <string>
#include <vector>

#include "base/Collection.h"
#include "catalogue/ViewState.h"

namespace kloxmere {

class Catalogue;
class clsUnit;
struct clsUnitGroup;

// Fills SideList from UnitList: one group per side (without regard to case)
// in order of first appearance, named as the first unit of that side spells
// it, holding that side's distinct classes (keyed by themselves) in order of
// first appearance. Runs once, after the conflict passes.
void BuildSideList(Catalogue& catalogue);

// Whether the unit comes from a game archive (*.hpi, *.ccx and their x forms)
// or from a 3rd party archive (*.ufo, *.xufo): the last three letters of its
// archive's name decide.
bool IsCavedogUnit(const clsUnit& unit);
bool IsThirdPartyUnit(const clsUnit& unit);

// The unit selection rule, prepared once for a node and the view switches and
// then applied to many units. A unit is selected when it passes the view
// switches and
// - the node is one of the two roots, or
// - the node is a user group of which a keyword occurs, without regard to
//   case, anywhere in the path of the unit's archive (an empty keyword occurs
//   in every path; a group without keywords selects nothing), or
// - the node is under "TA Units" and the unit's side equals the node's text,
//   or the unit's side and class joined equal the parent's text and the
//   node's text joined (so a class node selects its side's units of that
//   class), or
// - the node is anything else.
// The unit's enabled and conflict states play no part. The selection reads
// GroupList when it is made; it holds no reference to it.
class UnitSelection {
  public:
    UnitSelection(const ViewState& view, const Collection<clsUnitGroup>& GroupList);

    bool selects(const clsUnit& unit) const;

  private:
    enum class NodeKind { Root, UserGroup, SideOrClass, Other };

    bool passesViewFilter(const clsUnit& unit) const;

    bool m_showCavedog;
    bool m_showThirdParty;
    NodeKind m_kind = NodeKind::Other;
    std::vector<std::string> m_foldedKeywords;  // user group node
    std::string m_foldedText;                   // side or class node: its text
    std::string m_foldedJoined;                 // side or class node: parent text + text
};

// The rule for one unit; UnitSelection is cheaper for many.
bool IsUnitSelected(const clsUnit& unit, const ViewState& view,
                    const Collection<clsUnitGroup>& GroupList);

}  // namespace kloxmere

#include "catalogue/Enabling.h"

#include <unordered_set>

#include "archive/clsHPI.h"
#include "catalogue/ArchiveSwitch.h"
#include "catalogue/Catalogue.h"
#include "catalogue/SideGroups.h"
#include "catalogue/ViewState.h"
#include "units/clsUnit.h"

namespace kloxmere {

namespace {

// Gathers the renames of a batch: each archive whose state differs, once,
// in the order its units are met.
class Planner {
  public:
    Planner(bool enable, std::string command) : m_enable(enable) {
        m_plan.command = std::move(command);
    }

    void add(clsUnit& unit) {
        if (unit.Enabled() == m_enable) return;
        if (!unit.HPI) {
            m_plan.renames.push_back({{}, {}, nullptr, "the unit has no archive"});
            return;
        }
        if (!m_seen.insert(unit.HPI).second) return;
        PlannedRename rename{unit.HPI->Filename, {}, unit.HPI, {}};
        if (auto to = SwitchedPath(rename.from, m_enable)) {
            rename.to = *to;
        } else {
            rename.reason = "the file name has no extension";
        }
        m_plan.renames.push_back(std::move(rename));
    }

    RenameReport run() { return RunSwitch(std::move(m_plan)); }

  private:
    bool m_enable;
    SwitchPlan m_plan;
    std::unordered_set<const clsHPI*> m_seen;
};

std::string verb(bool enable) {
    return enable ? "Enable" : "Disable";
}

}  // namespace

RenameReport SetSelectionEnabled(Catalogue& catalogue, const ViewState& view, bool enable) {
    if (view.CurrentTab == kUnitsTab) {
        // A unit is selected by its own archive's name, which no other
        // archive's rename changes: the plan is made before the first rename.
        Planner planner(enable, verb(enable) + " Group " + view.selectedNode.text);
        UnitSelection selection(view, catalogue.GroupList);
        for (clsUnit* unit : catalogue.UnitList) {
            if (selection.selects(*unit)) planner.add(*unit);
        }
        return planner.run();
    }
    if (view.CurrentTab == kConflictsTab) {
        Planner planner(enable, verb(enable) + " Group Conflicts");
        for (clsUnit* unit : catalogue.UnitList) planner.add(*unit);
        return planner.run();
    }
    return {};
}

RenameReport SetUnitEnabled(clsUnit& unit, bool enable) {
    Planner planner(enable, verb(enable) + " Unit " + unit.Name);
    planner.add(unit);
    return planner.run();
}

}  // namespace kloxmere

#include "catalogue/Enabling.h"

#include <unordered_set>

#include "archive/clsHPI.h"
#include "catalogue/Catalogue.h"
#include "catalogue/SideGroups.h"
#include "catalogue/ViewState.h"
#include "units/clsUnit.h"

namespace kloxmere {

namespace {

class Renamer {
  public:
    explicit Renamer(bool enable) : m_enable(enable) {}

    // Renames the unit's archive unless it already has the wanted state.
    void apply(clsUnit& unit) {
        if (unit.Enabled() == m_enable) {
            return;
        }
        ArchiveRename rename;
        rename.from = unit.HPI ? unit.HPI->Filename : std::string();
        if (unit.SetEnabled(m_enable, &rename.reason)) {
            rename.to = unit.HPI->Filename;
            rename.reason.clear();
            m_report.renamed.push_back(std::move(rename));
        } else if (m_refusedArchives.insert(unit.HPI).second) {
            // Later units of the same archive ask again (the rename may have
            // failed for a passing reason) but are reported once.
            m_report.refused.push_back(std::move(rename));
        }
    }

    RenameReport take() { return std::move(m_report); }

  private:
    bool m_enable;
    RenameReport m_report;
    std::unordered_set<const clsHPI*> m_refusedArchives;
};

}  // namespace

RenameReport SetSelectionEnabled(Catalogue& catalogue, const ViewState& view, bool enable) {
    Renamer renamer(enable);
    if (view.CurrentTab == kUnitsTab) {
        // A unit's archive path may change under the rule as archives are
        // renamed; each unit is judged on the name its archive has when its
        // turn comes.
        UnitSelection selection(view, catalogue.GroupList);
        for (clsUnit* unit : catalogue.UnitList) {
            if (selection.selects(*unit)) {
                renamer.apply(*unit);
            }
        }
    } else if (view.CurrentTab == kConflictsTab) {
        for (clsUnit* unit : catalogue.UnitList) {
            renamer.apply(*unit);
        }
    }
    return renamer.take();
}

RenameReport SetUnitEnabled(clsUnit& unit, bool enable) {
    Renamer renamer(enable);
    renamer.apply(unit);
    return renamer.take();
}

}  // namespace kloxmere

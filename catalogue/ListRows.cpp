#include "catalogue/ListRows.h"

#include <bitset>
#include <unordered_set>

#include "archive/clsHPI.h"
#include "base/TextCase.h"
#include "base/BusyPointer.h"
#include "catalogue/Catalogue.h"
#include "catalogue/SideGroups.h"
#include "catalogue/ViewState.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

// The column of a unit row that shows the archive's name, by tab.
constexpr std::size_t kUnitsArchiveColumn = 4;
constexpr std::size_t kConflictsArchiveColumn = 3;

std::string archiveTitle(const clsHPI* hpi) {
    return hpi ? FileTitle(hpi->Filename) : "";
}

ListRow unitsTabRow(const clsUnit& unit, const std::optional<std::string>& key) {
    return ListRow{key,
                   unit.Name,
                   StateIcon(unit),
                   {unit.ID, unit.Callname, unit.Description, archiveTitle(unit.HPI), unit.Filename,
                    unit.MaxDamage, unit.BuildTime, unit.CostEnergy, unit.CostMetal},
                   &unit};
}

ListRow conflictsTabRow(const clsUnit& unit, const std::optional<std::string>& key) {
    return ListRow{key,
                   unit.Name,
                   StateIcon(unit),
                   {unit.ID, unit.Callname, archiveTitle(unit.HPI), unit.ConflictDescription()},
                   &unit};
}

void fillUnitsTab(const Catalogue& catalogue, const ViewState& view, std::vector<ListRow>& rows) {
    UnitSelection selection(view, catalogue.GroupList);
    const auto& units = catalogue.UnitList;
    for (std::size_t i = 1; i <= units.Count(); ++i) {
        const clsUnit& unit = *units.Item(i);
        if (selection.selects(unit)) {
            rows.push_back(unitsTabRow(unit, units.KeyAt(i)));
        }
    }
}

void fillConflictsTab(const Catalogue& catalogue, std::vector<ListRow>& rows) {
    const auto& units = catalogue.UnitList;
    for (std::size_t i = 1; i <= units.Count(); ++i) {
        const clsUnit& unit = *units.Item(i);
        if (unit.Conflict() != 0) {
            rows.push_back(conflictsTabRow(unit, units.KeyAt(i)));
        }
    }
    for (const std::string& message : catalogue.MenuConflictList) {
        rows.push_back(ListRow{std::nullopt, "", kIconConflict, {"", "", "", message}, nullptr});
    }
}

void fillWeaponsTab(const Catalogue& catalogue, std::vector<ListRow>& rows) {
    // Name and position can repeat a key (ARM1 at 1 and ARM at 11 both give
    // ARM11); "_" goes before the number then, as for UnitList's keys, so
    // that no weapon loses its row.
    std::unordered_set<std::string, NoCaseHash, NoCaseEqual> taken;
    std::size_t position = 0;
    for (const clsWeapon* weapon : catalogue.WeaponList) {
        std::string key = RunningNumberKey(
            weapon->Name, ++position, [&](const std::string& k) { return taken.insert(k).second; });
        rows.push_back(
            ListRow{std::move(key),
                    weapon->Name,
                    kIconNormal,
                    {std::to_string(weapon->ID), archiveTitle(weapon->HPI), weapon->Filename},
                    nullptr});
    }
}

void fillAvailableWeaponsTab(const Catalogue& catalogue, std::vector<ListRow>& rows) {
    std::bitset<256> used;
    for (const clsWeapon* weapon : catalogue.WeaponList) {
        if (weapon->ID >= 0 && weapon->ID <= 255) {
            used.set(static_cast<std::size_t>(weapon->ID));
        }
    }
    for (std::size_t number = 0; number < used.size(); ++number) {
        if (!used.test(number)) {
            rows.push_back(ListRow{std::nullopt, std::to_string(number), kIconNormal, {}, nullptr});
        }
    }
}

}  // namespace

std::vector<Column> ColumnSet(std::string_view tabCaption) {
    if (tabCaption == "Units") {
        return {{"name", "Name", 1000},
                {"id", "ID", 300},
                {"callname", "Callname", 1400},
                {"description", "Description", 2000},
                {"file", "HPI file", 1000},
                {"filename", "Filename", 1000},
                {"maxdamage", "Max damage", 500},
                {"buildtime", "Build time", 500},
                {"costenergy", "Cost energy", 500},
                {"costmetal", "Cost metal", 500}};
    }
    if (tabCaption == "Conflicts") {
        return {{"name", "Name", 1000},
                {"id", "ID", 300},
                {"callname", "Callname", 1400},
                {"file", "HPI file", 1000},
                {"conflict", "Conflict description", 10000}};
    }
    if (tabCaption == "Weapons") {
        return {{"name", "Name", 2000},
                {"id", "ID", 300},
                {"file", "HPI file", 1000},
                {"filename", "Filename", 2000}};
    }
    if (tabCaption == "Available Weapons") {
        return {{"id", "ID", 500}};
    }
    return {};
}

int StateIcon(const clsUnit& unit) {
    if (!unit.Enabled()) {
        return kIconDisabled;
    }
    std::int16_t conflict = unit.Conflict();
    if (conflict == 2 || conflict == 0) {
        return kIconNormal;
    }
    return kIconConflict;
}

std::vector<ListRow> FillUnitList(const Catalogue& catalogue, const ViewState& view,
                                  PlatformServices& services) {
    BusyPointer busy(services);
    std::vector<ListRow> rows;
    switch (view.CurrentTab) {
        case kUnitsTab:
            rows.reserve(catalogue.UnitList.Count());
            fillUnitsTab(catalogue, view, rows);
            break;
        case kConflictsTab:
            fillConflictsTab(catalogue, rows);
            break;
        case kWeaponsTab:
            rows.reserve(catalogue.WeaponList.Count());
            fillWeaponsTab(catalogue, rows);
            break;
        case kAvailableWeaponsTab:
            fillAvailableWeaponsTab(catalogue, rows);
            break;
        default:
            break;
    }
    return rows;
}

void RefreshListState(const Catalogue& catalogue, const ViewState& view,
                      std::vector<ListRow>& rows) {
    std::size_t archiveColumn = 0;
    if (view.CurrentTab == kUnitsTab) {
        archiveColumn = kUnitsArchiveColumn;
    } else if (view.CurrentTab == kConflictsTab) {
        archiveColumn = kConflictsArchiveColumn;
    } else {
        return;
    }
    for (ListRow& row : rows) {
        const clsUnit* unit = row.unit;
        if (!unit && row.key) {
            clsUnit* const* found = catalogue.UnitList.Find(*row.key);
            unit = found ? *found : nullptr;
        }
        if (!unit) {
            continue;
        }
        row.icon = StateIcon(*unit);
        if (row.subItems.size() >= archiveColumn) {
            row.subItems[archiveColumn - 1] = archiveTitle(unit->HPI);
        }
    }
}

}  // namespace kloxmere

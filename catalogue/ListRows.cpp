#include "catalogue/ListRows.h"

#include <algorithm>
#include <bitset>
#include <charconv>
#include <unordered_set>

#include "archive/clsHPI.h"
#include "base/BusyPointer.h"
#include "base/TextCase.h"
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
// The Conflicts tab's column that holds the conflict in words.
constexpr std::size_t kConflictColumn = 4;

std::string archiveTitle(const clsHPI* hpi) {
    return hpi ? FileTitle(hpi->Filename) : "";
}

std::uint32_t position(std::size_t index) {
    return static_cast<std::uint32_t>(index);
}

void fillUnitsTab(const Catalogue& catalogue, const ViewState& view, std::vector<ListItem>& items) {
    UnitSelection selection(view, catalogue.GroupList);
    const auto& units = catalogue.UnitList;
    for (std::size_t i = 1; i <= units.Count(); ++i) {
        if (selection.selects(*units.Item(i))) items.push_back({ListItemKind::Unit, position(i)});
    }
}

void fillConflictsTab(const Catalogue& catalogue, std::vector<ListItem>& items) {
    const auto& units = catalogue.UnitList;
    for (std::size_t i = 1; i <= units.Count(); ++i) {
        if (units.Item(i)->Conflict() != 0) items.push_back({ListItemKind::Unit, position(i)});
    }
    for (std::size_t i = 1; i <= catalogue.MenuConflictList.size(); ++i) {
        items.push_back({ListItemKind::MenuConflict, position(i)});
    }
}

void fillWeaponsTab(const Catalogue& catalogue, std::vector<ListItem>& items) {
    for (std::size_t i = 1; i <= catalogue.WeaponList.Count(); ++i) {
        items.push_back({ListItemKind::Weapon, position(i)});
    }
}

void fillAvailableWeaponsTab(const Catalogue& catalogue, std::vector<ListItem>& items) {
    std::bitset<256> used;
    for (const clsWeapon* weapon : catalogue.WeaponList) {
        if (weapon->ID >= 0 && weapon->ID <= 255) {
            used.set(static_cast<std::size_t>(weapon->ID));
        }
    }
    for (std::size_t number = 0; number < used.size(); ++number) {
        if (!used.test(number)) items.push_back({ListItemKind::FreeNumber, position(number)});
    }
}

std::string unitText(const clsUnit& unit, std::int32_t tab, std::size_t column) {
    if (tab == kUnitsTab) {
        switch (column) {
            case 0:
                return unit.Name;
            case 1:
                return unit.ID;
            case 2:
                return unit.Callname;
            case 3:
                return unit.Description;
            case kUnitsArchiveColumn:
                return archiveTitle(unit.HPI);
            case 5:
                return unit.Filename;
            case 6:
                return unit.MaxDamage;
            case 7:
                return unit.BuildTime;
            case 8:
                return unit.CostEnergy;
            case 9:
                return unit.CostMetal;
            default:
                return {};
        }
    }
    switch (column) {
        case 0:
            return unit.Name;
        case 1:
            return unit.ID;
        case 2:
            return unit.Callname;
        case kConflictsArchiveColumn:
            return archiveTitle(unit.HPI);
        case kConflictColumn:
            return unit.ConflictDescription();
        default:
            return {};
    }
}

std::string weaponText(const clsWeapon& weapon, std::size_t column) {
    switch (column) {
        case 0:
            return weapon.Name;
        case 1:
            return std::to_string(weapon.ID);
        case 2:
            return archiveTitle(weapon.HPI);
        case 3:
            return weapon.Filename;
        default:
            return {};
    }
}

std::size_t columnCount(std::int32_t tab) {
    if (tab < 0 || tab >= static_cast<std::int32_t>(kTabCaptions.size())) return 0;
    return ColumnSet(kTabCaptions[static_cast<std::size_t>(tab)]).size();
}

// A cell's place in the sort order: in a numeric column the numbers after
// everything else; text by its case-folded form, of which only a prefix is
// kept (`truncated` says whether the text went on).
struct SortKey {
    bool isNumber = false;
    double number = 0;
    std::string prefix;
    bool truncated = false;
};

constexpr std::size_t kSortPrefix = 64;

std::optional<double> wholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0;
    auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool lessKey(const SortKey& a, const SortKey& b) {
    if (a.isNumber != b.isNumber) return !a.isNumber;
    if (a.isNumber) return a.number < b.number;
    if (int order = a.prefix.compare(b.prefix); order != 0) return order < 0;
    return !a.truncated && b.truncated;  // a prefix sorts before what continues it
}

bool sameRun(const SortKey& a, const SortKey& b) {
    return !a.isNumber && !b.isNumber && a.truncated && b.truncated && a.prefix == b.prefix;
}

}  // namespace

std::vector<Column> ColumnSet(std::string_view tabCaption) {
    if (tabCaption == "Units") {
        return {{"name", "Name", 1000},
                {"id", "ID", 300, true},
                {"callname", "Callname", 1400},
                {"description", "Description", 2000},
                {"file", "HPI file", 1000},
                {"filename", "Filename", 1000},
                {"maxdamage", "Max damage", 500, true},
                {"buildtime", "Build time", 500, true},
                {"costenergy", "Cost energy", 500, true},
                {"costmetal", "Cost metal", 500, true}};
    }
    if (tabCaption == "Conflicts") {
        return {{"name", "Name", 1000},
                {"id", "ID", 300, true},
                {"callname", "Callname", 1400},
                {"file", "HPI file", 1000},
                {"conflict", "Conflict description", 10000}};
    }
    if (tabCaption == "Weapons") {
        return {{"name", "Name", 2000},
                {"id", "ID", 300, true},
                {"file", "HPI file", 1000},
                {"filename", "Filename", 2000}};
    }
    if (tabCaption == "Available Weapons") {
        return {{"id", "ID", 500, true}};
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

std::vector<ListItem> FillUnitItems(const Catalogue& catalogue, const ViewState& view,
                                    PlatformServices& services) {
    BusyPointer busy(services);
    std::vector<ListItem> items;
    switch (view.CurrentTab) {
        case kUnitsTab:
            items.reserve(catalogue.UnitList.Count());
            fillUnitsTab(catalogue, view, items);
            break;
        case kConflictsTab:
            fillConflictsTab(catalogue, items);
            break;
        case kWeaponsTab:
            fillWeaponsTab(catalogue, items);
            break;
        case kAvailableWeaponsTab:
            fillAvailableWeaponsTab(catalogue, items);
            break;
        default:
            break;
    }
    return items;
}

std::string ItemText(const Catalogue& catalogue, std::int32_t tab, const ListItem& item,
                     std::size_t column) {
    switch (item.kind) {
        case ListItemKind::Unit:
            return unitText(*catalogue.UnitList.Item(item.position), tab, column);
        case ListItemKind::MenuConflict:
            return column == kConflictColumn
                       ? catalogue.MenuConflictList.at(item.position - 1).Message()
                       : std::string();
        case ListItemKind::Weapon:
            return weaponText(*catalogue.WeaponList.Item(item.position), column);
        case ListItemKind::FreeNumber:
            return column == 0 ? std::to_string(item.position) : std::string();
    }
    return {};
}

int ItemIcon(const Catalogue& catalogue, const ListItem& item) {
    switch (item.kind) {
        case ListItemKind::Unit:
            return StateIcon(*catalogue.UnitList.Item(item.position));
        case ListItemKind::MenuConflict:
            return kIconConflict;
        default:
            return kIconNormal;
    }
}

const clsUnit* ItemUnit(const Catalogue& catalogue, const ListItem& item) {
    return item.kind == ListItemKind::Unit ? catalogue.UnitList.Item(item.position) : nullptr;
}

std::optional<std::string> ItemKey(const Catalogue& catalogue, const ListItem& item) {
    if (item.kind != ListItemKind::Unit) return std::nullopt;
    auto key = catalogue.UnitList.KeyAt(item.position);
    if (!key) return std::nullopt;
    return std::string(*key);
}

void SortItems(const Catalogue& catalogue, std::int32_t tab, std::size_t column,
               std::vector<ListItem>& items) {
    std::vector<Column> columns = tab >= 0 && tab < static_cast<std::int32_t>(kTabCaptions.size())
                                      ? ColumnSet(kTabCaptions[static_cast<std::size_t>(tab)])
                                      : std::vector<Column>{};
    const bool numeric = column < columns.size() && columns[column].numeric;

    struct Entry {
        SortKey key;
        ListItem item;
    };
    std::vector<Entry> entries;
    entries.reserve(items.size());
    for (const ListItem& item : items) {
        std::string text = ItemText(catalogue, tab, item, column);
        SortKey key;
        if (auto number = numeric ? wholeNumber(text) : std::nullopt) {
            key.isNumber = true;
            key.number = *number;
        } else {
            key.truncated = text.size() > kSortPrefix;
            key.prefix = FoldCase(std::string_view(text).substr(0, kSortPrefix));
        }
        entries.push_back({std::move(key), item});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return lessKey(a.key, b.key); });

    // Cells that share a cut prefix are ordered by their whole text, one run
    // at a time, so only one run's texts are held at once.
    for (std::size_t start = 0; start < entries.size();) {
        std::size_t end = start + 1;
        while (end < entries.size() && sameRun(entries[start].key, entries[end].key)) ++end;
        if (end - start > 1) {
            std::vector<std::pair<std::string, ListItem>> run;
            run.reserve(end - start);
            for (std::size_t i = start; i < end; ++i) {
                run.emplace_back(FoldCase(ItemText(catalogue, tab, entries[i].item, column)),
                                 entries[i].item);
            }
            std::stable_sort(run.begin(), run.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (std::size_t i = start; i < end; ++i) entries[i].item = run[i - start].second;
        }
        start = end;
    }
    for (std::size_t i = 0; i < items.size(); ++i) items[i] = entries[i].item;
}

std::vector<ListRow> FillUnitList(const Catalogue& catalogue, const ViewState& view,
                                  PlatformServices& services) {
    std::vector<ListItem> items = FillUnitItems(catalogue, view, services);
    const std::size_t columns = columnCount(view.CurrentTab);
    // Name and position can repeat a weapon key (ARM1 at 1 and ARM at 11 both
    // give ARM11); "_" goes before the number then, as for UnitList's keys,
    // so that no weapon loses its row.
    std::unordered_set<std::string, NoCaseHash, NoCaseEqual> weaponKeys;

    std::vector<ListRow> rows;
    rows.reserve(items.size());
    for (const ListItem& item : items) {
        ListRow row;
        row.text = ItemText(catalogue, view.CurrentTab, item, 0);
        row.icon = ItemIcon(catalogue, item);
        row.unit = ItemUnit(catalogue, item);
        row.key = ItemKey(catalogue, item);
        if (item.kind == ListItemKind::Weapon) {
            row.key =
                RunningNumberKey(catalogue.WeaponList.Item(item.position)->Name, item.position,
                                 [&](const std::string& k) { return weaponKeys.insert(k).second; });
        }
        // A free number's row is its number alone.
        const std::size_t shown = item.kind == ListItemKind::FreeNumber ? 1 : columns;
        for (std::size_t column = 1; column < shown; ++column) {
            row.subItems.push_back(ItemText(catalogue, view.CurrentTab, item, column));
        }
        rows.push_back(std::move(row));
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

#include "catalogue/ListFilter.h"

#include <algorithm>
#include <unordered_map>

#include "base/TextCase.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ViewState.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"

namespace kloxmere {

namespace {

std::size_t tabColumns(std::int32_t tab) {
    if (tab < 0 || tab >= static_cast<std::int32_t>(kTabCaptions.size())) return 0;
    return ColumnSet(kTabCaptions[static_cast<std::size_t>(tab)]).size();
}

// Whether a unit's conflict description contains the filter's text, without
// wording it. A description runs "Conflicts with C (Weapon W is conflicting
// with weapon O). Conflicts with C' (Weapon W ..." for every pair of one of
// the unit's weapons W and a weapon O sharing its number, C naming O's
// carriers; on a large installation that is thousands of characters a row,
// too many to word for every keystroke. A text that holds none of the fixed
// separators between the variable parts (C, W, O) in full can only match
// within one variable part and the separators on either side of it, so each
// such window is searched once per weapon and each pair costs two look-ups.
// A text that holds a separator is searched in the worded description.
class DescriptionMatcher {
  public:
    explicit DescriptionMatcher(const RowFilter& filter) : m_filter(filter) {
        for (std::string_view separator : {kCarriersEnd, kWeaponEnd, kPairEnd}) {
            if (filter.folded().find(separator) != std::string::npos) m_worded = true;
        }
    }

    bool matches(const clsUnit& unit) {
        if (m_worded) return m_filter.matches(unit.ConflictDescription());
        const clsWeapon* firstWeapon = nullptr;
        const clsWeapon* lastWeapon = nullptr;
        for (const clsWeapon* weapon : unit.Weapons) {
            if (weapon->Conflicts.empty()) continue;
            if (!firstWeapon) firstWeapon = weapon;
            lastWeapon = weapon;
        }
        for (const clsWeapon* weapon : unit.Weapons) {
            if (!weapon->Conflicts.empty() &&
                matchesPairsOf(*weapon, weapon == firstWeapon, weapon == lastWeapon)) {
                return true;
            }
        }
        return false;
    }

  private:
    // Folded, as the filter's text is.
    static constexpr std::string_view kStart = "conflicts with ";
    static constexpr std::string_view kCarriersEnd = " (weapon ";
    static constexpr std::string_view kWeaponEnd = " is conflicting with weapon ";
    static constexpr std::string_view kPairEnd = "). conflicts with ";
    static constexpr std::string_view kEnd = "). ";

    // Which windows around a weapon's parts hold the text: its carriers
    // (after the description's start or after an earlier pair), its name as
    // a unit's own weapon, its name as the other weapon (before a later pair
    // or the description's end).
    struct Windows {
        bool carriersFirst = false, carriers = false, weapon = false, otherLast = false,
             other = false;
    };

    const Windows& windows(const clsWeapon& weapon) {
        auto [at, added] = m_windows.try_emplace(&weapon);
        if (!added) return at->second;
        m_carriers.clear();
        for (const clsUnit* carrier : weapon.Units) {
            if (!m_carriers.empty()) m_carriers += " and ";
            AppendFolded(m_carriers, carrier->Name);
        }
        m_name.clear();
        AppendFolded(m_name, weapon.Name);
        // The window after an earlier pair holds the one at the description's
        // start, as the one before a later pair holds the one at its end: the
        // shorter is searched only when the longer holds the text.
        Windows& found = at->second;
        found.carriers = holds(kPairEnd, m_carriers, kCarriersEnd);
        found.carriersFirst = found.carriers && holds(kStart, m_carriers, kCarriersEnd);
        found.weapon = holds(kCarriersEnd, m_name, kWeaponEnd);
        found.other = holds(kWeaponEnd, m_name, kPairEnd);
        found.otherLast = found.other && holds(kWeaponEnd, m_name, kEnd);
        return found;
    }

    // Whether `before`, `part` and `after`, all folded, hold the text.
    bool holds(std::string_view before, std::string_view part, std::string_view after) {
        m_window.assign(before);
        m_window += part;
        m_window += after;
        return m_window.find(m_filter.folded()) != std::string::npos;
    }

    static bool inside(const Windows& found) { return found.carriers || found.other; }

    // Whether the pairs of `weapon` (a unit's own) with the other weapons of
    // its number hold the text; `opens` and `closes` say whether its first
    // pair opens the description and its last pair ends it. Only those two
    // pairs differ from the rest, so the others are counted per number once.
    bool matchesPairsOf(const clsWeapon& weapon, bool opens, bool closes) {
        if (windows(weapon).weapon) return true;
        const WeaponPartners::Group& group = *weapon.Conflicts.group();
        const clsWeapon* first = group.front() != &weapon ? group.front() : group[1];
        const clsWeapon* last = group.back() != &weapon ? group.back() : group[group.size() - 2];
        std::size_t others = insideCount(group) - (inside(windows(weapon)) ? 1 : 0);
        if (opens) {
            const Windows& found = windows(*first);
            if (found.carriersFirst || (first == last && closes ? found.otherLast : found.other)) {
                return true;
            }
            others -= inside(found) ? 1 : 0;
        }
        if (closes && (last != first || !opens)) {
            const Windows& found = windows(*last);
            if (found.carriers || found.otherLast) return true;
            others -= inside(found) ? 1 : 0;
        }
        return others > 0;
    }

    // How many weapons of a number hold the text in a window that is the
    // same wherever their pair stands.
    std::size_t insideCount(const WeaponPartners::Group& group) {
        auto [at, added] = m_insideCounts.try_emplace(&group, 0);
        if (added) {
            for (const clsWeapon* member : group) at->second += inside(windows(*member)) ? 1 : 0;
        }
        return at->second;
    }

    const RowFilter& m_filter;
    bool m_worded = false;
    std::unordered_map<const clsWeapon*, Windows> m_windows;
    std::unordered_map<const WeaponPartners::Group*, std::size_t> m_insideCounts;
    // Reused, so that a window costs no allocation; folded.
    std::string m_carriers, m_name, m_window;
};

}  // namespace

RowFilter::RowFilter(std::string_view text) : m_needle(FoldCase(text)) {
    m_asciiNeedle = IsAscii(m_needle);
}

bool RowFilter::matches(std::string_view cell) const {
    if (m_needle.empty()) return true;
    if (IsAscii(cell)) {
        // Folding never turns a letter beyond ASCII into an ASCII one, so an
        // ASCII cell can hold only an ASCII text; it is searched in place.
        if (!m_asciiNeedle) return false;
        return std::search(cell.begin(), cell.end(), m_needle.begin(), m_needle.end(),
                           [](char a, char b) { return AsciiLower(a) == b; }) != cell.end();
    }
    return FoldCase(cell).find(m_needle) != std::string::npos;
}

bool RowFilter::keeps(const Catalogue& catalogue, std::int32_t tab, const ListItem& item) const {
    if (empty()) return true;
    const std::size_t columns = item.kind == ListItemKind::FreeNumber ? 1 : tabColumns(tab);
    for (std::size_t column = 0; column < columns; ++column) {
        if (matches(ItemText(catalogue, tab, item, column))) return true;
    }
    return false;
}

bool RowFilter::narrows(const RowFilter& earlier) const {
    return m_needle.find(earlier.m_needle) != std::string::npos;
}

std::vector<ListItem> FilterItems(const Catalogue& catalogue, std::int32_t tab,
                                  const RowFilter& filter, const std::vector<ListItem>& items) {
    if (filter.empty()) return items;
    std::vector<ListItem> kept;
    if (tab != kConflictsTab) {
        for (const ListItem& item : items) {
            if (filter.keeps(catalogue, tab, item)) kept.push_back(item);
        }
        return kept;
    }
    // A unit row's last column, its conflict description, is matched without wording it.
    DescriptionMatcher descriptions(filter);
    const std::size_t wordedColumns = tabColumns(tab) - 1;
    for (const ListItem& item : items) {
        bool keep = false;
        if (item.kind != ListItemKind::Unit) {
            keep = filter.keeps(catalogue, tab, item);
        } else {
            for (std::size_t column = 0; column < wordedColumns && !keep; ++column) {
                keep = filter.matches(ItemText(catalogue, tab, item, column));
            }
            keep = keep || descriptions.matches(*catalogue.UnitList.Item(item.position));
        }
        if (keep) kept.push_back(item);
    }
    return kept;
}

}  // namespace kloxmere

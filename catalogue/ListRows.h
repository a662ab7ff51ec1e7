#pragma once

// The rows of the list, as plain data: what each tab shows, the column sets
// above them and the state icon of a unit. A view adapts these rows; it never
// computes them.
//
// Two forms. `ListItem` names a row by its record (a unit, a build-menu
// conflict, a weapon, a free number) and words a cell only when asked, so a
// window showing 120,000 conflict rows pays for the rows on screen. `ListRow`
// is the same row worded whole, for the command line and for tests.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

class Catalogue;
class PlatformServices;
class clsUnit;
struct ViewState;

// List icons.
inline constexpr int kIconNormal = 1;  // also weapons and free numbers
inline constexpr int kIconConflict = 2;
inline constexpr int kIconDisabled = 3;

// The tab captions, by CurrentTab value.
inline constexpr std::array<std::string_view, 4> kTabCaptions = {"Units", "Conflicts", "Weapons",
                                                                 "Available Weapons"};

struct Column {
    std::string key;
    std::string header;
    int widthTwips = 0;
    bool numeric = false;  // its cells are numbers, and sort as numbers
};

// The columns shown under the tab of `tabCaption`, left to right; none for an
// unknown caption.
std::vector<Column> ColumnSet(std::string_view tabCaption);

// 3 when the unit's archive is disabled; otherwise 2 when it conflicts with
// an enabled unit; otherwise 1.
int StateIcon(const clsUnit& unit);

enum class ListItemKind : std::uint8_t { Unit, MenuConflict, Weapon, FreeNumber };

// One row of a tab by reference: `position` is 1-based in UnitList,
// MenuConflictList or WeaponList; for a free weapon number it is the number.
struct ListItem {
    ListItemKind kind = ListItemKind::Unit;
    std::uint32_t position = 0;
    bool operator==(const ListItem&) const = default;
};

// The rows of the current tab, with the busy pointer shown meanwhile:
// - Units: the units the selection rule picks for the selected node.
// - Conflicts: every unit with a weapon conflict (whatever the tree and the
//   view switches show), then a row per build-menu conflict (no key, no text,
//   icon 2, the message in column 4).
// - Weapons: every weapon of WeaponList.
// - Available Weapons: the numbers 0 to 255 no weapon carries.
std::vector<ListItem> FillUnitItems(const Catalogue& catalogue, const ViewState& view,
                                    PlatformServices& services);

// The text of `item` in `column` (0 is the first column) as tab `tab` shows
// it; empty past the tab's columns. Unit rows read their unit as it is now:
// after a rename their archive column shows the new name.
std::string ItemText(const Catalogue& catalogue, std::int32_t tab, const ListItem& item,
                     std::size_t column);
// The row's icon: a unit's state icon as it is now, 2 for a build-menu conflict, else 1.
int ItemIcon(const Catalogue& catalogue, const ListItem& item);
// The unit of a unit row, else nullptr.
const clsUnit* ItemUnit(const Catalogue& catalogue, const ListItem& item);
// A unit row's key, its UnitList key; nullopt for the other rows (a weapon
// row's key needs the whole list: see FillUnitList).
std::optional<std::string> ItemKey(const Catalogue& catalogue, const ListItem& item);

// Orders `items` by their text in `column` on tab `tab`, ascending and
// stable. Text compares without regard to case. In a numeric column the
// cells that are not a number (empty ones among them) come first, by text,
// then the numbers by value, so 200 comes before 1000. Long cells (the
// conflict descriptions) are worded once per comparison run, not kept whole.
void SortItems(const Catalogue& catalogue, std::int32_t tab, std::size_t column,
               std::vector<ListItem>& items);

struct ListRow {
    std::optional<std::string> key;  // a unit's UnitList key, a weapon's Name and position
    std::string text;                // the first column
    int icon = kIconNormal;
    std::vector<std::string> subItems;  // columns 1, 2, ... (subItems[0] is column 1)
    const clsUnit* unit = nullptr;      // the unit of a unit row
};

// The rows of FillUnitItems, worded whole. Weapon rows carry their key, the
// weapon's Name followed by its position ("_" before the number where that
// would repeat an earlier key).
std::vector<ListRow> FillUnitList(const Catalogue& catalogue, const ViewState& view,
                                  PlatformServices& services);

// After archives were enabled or disabled: on the Units and Conflicts tabs,
// gives every unit row its unit's current state icon and archive name. Rows
// are neither added nor removed; other rows are left as they are.
void RefreshListState(const Catalogue& catalogue, const ViewState& view,
                      std::vector<ListRow>& rows);

}  // namespace kloxmere

#pragma once

// The rows of the list, as plain data: what each tab shows, the column sets
// above them and the state icon of a unit. A view adapts these rows; it never
// computes them.

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

struct ListRow {
    std::optional<std::string> key;  // a unit's UnitList key, a weapon's Name and position
    std::string text;                // the first column
    int icon = kIconNormal;
    std::vector<std::string> subItems;  // columns 1, 2, ... (subItems[0] is column 1)
    const clsUnit* unit = nullptr;      // the unit of a unit row
};

struct Column {
    std::string key;
    std::string header;
    int widthTwips = 0;
};

// The columns shown under the tab of `tabCaption`, left to right; none for an
// unknown caption.
std::vector<Column> ColumnSet(std::string_view tabCaption);

// 3 when the unit's archive is disabled; otherwise 2 when it conflicts with
// an enabled unit; otherwise 1.
int StateIcon(const clsUnit& unit);

// The rows of the current tab, with the busy pointer shown meanwhile:
// - Units: the units the selection rule picks for the selected node.
// - Conflicts: every unit with a weapon conflict (whatever the tree and the
//   view switches show), then a row per build-menu conflict (no key, no text,
//   icon 2, the message in column 4).
// - Weapons: every weapon of WeaponList.
// - Available Weapons: the numbers 0 to 255 no weapon carries.
std::vector<ListRow> FillUnitList(const Catalogue& catalogue, const ViewState& view,
                                  PlatformServices& services);

// After archives were enabled or disabled: on the Units and Conflicts tabs,
// gives every unit row its unit's current state icon and archive name. Rows
// are neither added nor removed; other rows are left as they are.
void RefreshListState(const Catalogue& catalogue, const ViewState& view,
                      std::vector<ListRow>& rows);

}  // namespace kloxmere

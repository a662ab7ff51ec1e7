#pragma once

// What the partners panel under the Conflicts list says about the selected
// row, free of any window: a title, the partners as rows (unit, weapon,
// number, archive, enabled) and the free weapon numbers nearest each
// conflicting weapon. It reads the catalogue when asked; it changes nothing.

#include <array>
#include <string>
#include <vector>

namespace kloxmere {
class Catalogue;
struct ListItem;
}  // namespace kloxmere

namespace kloxmere::window {

struct PartnerRows {
    std::string title;
    std::vector<std::array<std::string, 5>> rows;
    std::string freeNumbers;  // "" when there is nothing to say
};

inline constexpr std::array<const char*, 5> kPartnerColumns = {"Unit", "Weapon", "Number",
                                                               "Archive", "Enabled"};

// The partners of `item` of `catalogue`'s Conflicts tab; nullptr for either:
// no row is selected.
PartnerRows DescribePartners(const Catalogue* catalogue, const ListItem* item);

}  // namespace kloxmere::window

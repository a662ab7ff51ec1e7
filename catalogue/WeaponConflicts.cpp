#include "catalogue/WeaponConflicts.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/PlatformServices.h"
#include "catalogue/Catalogue.h"

namespace kloxmere {

// Comparing every pair would take n(n - 1) / 2 steps, too many for the tens of
// thousands of weapons a large installation holds. Grouping the weapons by ID
// gives the same result: the weapons of one ID, in WeaponList order, are
// exactly the partners a pairwise pass appends, in the order it appends them.
// Each weapon's Conflicts then reads its group without itself.
void FindWeaponConflicts(Catalogue& catalogue, PlatformServices& services, bool showProgress) {
    const auto& weapons = catalogue.WeaponList;
    const std::size_t n = weapons.Count();

    std::unordered_map<std::int32_t, std::vector<clsWeapon*>> byId;
    byId.reserve(n);
    for (clsWeapon* weapon : weapons) byId[weapon->ID].push_back(weapon);

    const auto max = static_cast<std::int32_t>(n);
    std::size_t position = 0;
    for (clsWeapon* weapon : weapons) {
        ++position;
        if (showProgress && position < n) services.Update(static_cast<std::int32_t>(position), max);
        // A group is made when its first member is met; later members find it gone.
        auto found = byId.find(weapon->ID);
        if (found == byId.end() || found->second.size() < 2) continue;
        const WeaponPartners::Group& group = catalogue.KeepWeaponGroup(std::move(found->second));
        for (clsWeapon* member : group) member->Conflicts.assign(&group, member);
        byId.erase(found);
    }
}

}  // namespace kloxmere

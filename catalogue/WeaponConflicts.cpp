#include "catalogue/WeaponConflicts.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/PlatformServices.h"
#include "catalogue/Catalogue.h"

namespace kloxmere {

// Comparing every pair would take n(n - 1) / 2 steps, too many for the tens of
// thousands of weapons a large installation holds. Grouping the weapons by ID
// gives the same result: the weapons of one ID, in WeaponList order, are
// exactly the partners a pairwise pass appends, in the order it appends them.
// Each weapon's Conflicts then reads its group without itself. The groups are
// found by sorting (ID, position) pairs, which costs eight bytes a weapon.
void FindWeaponConflicts(Catalogue& catalogue, PlatformServices& services, bool showProgress) {
    const auto& weapons = catalogue.WeaponList;
    const std::size_t n = weapons.Count();

    std::vector<std::pair<std::int32_t, std::uint32_t>> byId(n);  // (ID, 0-based position)
    for (std::size_t i = 0; i < n; ++i) {
        byId[i] = {weapons.Item(i + 1)->ID, static_cast<std::uint32_t>(i)};
    }
    std::sort(byId.begin(), byId.end());
    // For the first weapon of each shared ID: where its run of byId starts, + 1.
    std::vector<std::uint32_t> runOf(n, 0);
    for (std::size_t start = 0, end = 0; start < n; start = end) {
        for (end = start + 1; end < n && byId[end].first == byId[start].first;) ++end;
        if (end - start > 1) runOf[byId[start].second] = static_cast<std::uint32_t>(start + 1);
    }

    const auto max = static_cast<std::int32_t>(n);
    for (std::size_t position = 1; position <= n; ++position) {
        if (showProgress && position < n) services.Update(static_cast<std::int32_t>(position), max);
        // A group is made when its first member is met, in WeaponList order.
        std::uint32_t run = runOf[position - 1];
        if (run == 0) continue;
        WeaponPartners::Group members;
        for (std::size_t k = run - 1; k < n && byId[k].first == byId[run - 1].first; ++k) {
            members.push_back(weapons.Item(byId[k].second + 1));
        }
        const WeaponPartners::Group& group = catalogue.KeepWeaponGroup(std::move(members));
        for (clsWeapon* member : group) member->Conflicts.assign(&group, member);
    }
}

}  // namespace kloxmere

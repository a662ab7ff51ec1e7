#include "catalogue/ConflictPartners.h"

#include <cstdlib>
#include <unordered_set>

#include "archive/clsHPI.h"
#include "catalogue/Catalogue.h"
#include "units/modGeneric.h"

namespace kloxmere {

std::vector<WeaponConflictPartner> FindWeaponConflictPartners(const clsUnit& unit) {
    std::vector<WeaponConflictPartner> partners;
    for (const clsWeapon* weapon : unit.Weapons) {
        for (const clsWeapon* other : weapon->Conflicts) {
            for (clsUnit* carrier : other->Units) partners.push_back({carrier, weapon, other});
        }
    }
    return partners;
}

std::vector<WeaponConflictPair> WeaponConflictPairs(const Catalogue& catalogue) {
    std::vector<WeaponConflictPair> pairs;
    // A weapon's partners that were met before it have already paired with it.
    std::unordered_set<const clsWeapon*> met;
    for (const clsWeapon* weapon : catalogue.WeaponList) {
        met.insert(weapon);
        for (const clsWeapon* other : weapon->Conflicts) {
            if (met.count(other)) continue;
            for (const clsUnit* first : weapon->Units) {
                for (const clsUnit* second : other->Units) {
                    pairs.push_back({weapon, first, other, second});
                }
            }
        }
    }
    return pairs;
}

std::bitset<256> UsedWeaponNumbers(const Catalogue& catalogue) {
    std::bitset<256> used;
    for (const clsWeapon* weapon : catalogue.WeaponList) {
        if (weapon->ID >= 0 && weapon->ID <= 255) used.set(static_cast<std::size_t>(weapon->ID));
    }
    return used;
}

std::vector<int> NearestFreeWeaponNumbers(const std::bitset<256>& used, std::int32_t number,
                                          std::size_t count) {
    std::vector<int> nearest;
    auto take = [&](std::int64_t candidate) {
        if (nearest.size() < count && candidate >= 0 && candidate <= 255 &&
            !used.test(static_cast<std::size_t>(candidate))) {
            nearest.push_back(static_cast<int>(candidate));
        }
    };
    // A number outside 0 to 255 still has nearest numbers inside it; the
    // farthest one is 255 + |number| away.
    const std::int64_t from = number;
    const std::int64_t reach = 255 + std::llabs(from);
    for (std::int64_t distance = 0; distance <= reach && nearest.size() < count; ++distance) {
        take(from - distance);
        if (distance != 0) take(from + distance);
    }
    return nearest;
}

MenuEntryArchives::MenuEntryArchives(const Catalogue& catalogue) {
    for (const clsUnitArchive* archive : catalogue.ArchiveList) {
        for (const auto& entry : archive->MenuEntries) m_archives[entry.get()] = archive->HPI.get();
    }
}

const clsHPI* MenuEntryArchives::archiveOf(const clsMenuEntry& entry) const {
    auto found = m_archives.find(&entry);
    return found == m_archives.end() ? nullptr : found->second;
}

std::string ArchiveName(const clsHPI* archive) {
    return archive ? FileTitle(archive->Filename) : std::string();
}

}  // namespace kloxmere

#pragma once

// Who a conflict is with: for a unit whose weapon shares its number, every
// unit carrying the other weapon; for a build-menu conflict, the two entries
// and the archives they came from; and the free weapon numbers nearest a
// conflicting weapon's, where one of the two could move. Records are linked,
// not copied: an archive's name and state are read when they are shown, so
// they follow renames.

#include <bitset>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace kloxmere {

class Catalogue;
class clsHPI;
class clsMenuEntry;
class clsUnit;
class clsWeapon;

// One partner of a unit's weapon conflict: `unit` carries `otherWeapon`,
// which shares `weapon`'s number; `weapon` belongs to the unit asked about.
struct WeaponConflictPartner {
    clsUnit* unit = nullptr;  // not owned: the catalogue's unit, which commands may switch
    const clsWeapon* weapon = nullptr;
    const clsWeapon* otherWeapon = nullptr;
};

// The partners of `unit`, in the order its conflict description names them:
// by the unit's weapons, then the weapons sharing each one's number, then
// their carriers. Empty without a weapon conflict.
std::vector<WeaponConflictPartner> FindWeaponConflictPartners(const clsUnit& unit);

// One weapon-number conflict as a pair of carriers: `first` carries
// `firstWeapon`, `second` carries `secondWeapon`, and `firstWeapon` comes
// before `secondWeapon` in WeaponList.
struct WeaponConflictPair {
    const clsWeapon* firstWeapon = nullptr;
    const clsUnit* first = nullptr;
    const clsWeapon* secondWeapon = nullptr;
    const clsUnit* second = nullptr;
};

// Every pair of units whose weapons share a number, each pair of weapons
// once, in WeaponList order. A weapon that no unit carries makes no pair.
std::vector<WeaponConflictPair> WeaponConflictPairs(const Catalogue& catalogue);

// The weapon numbers 0 to 255 that a weapon of WeaponList uses, enabled or
// not: the complement of the Available Weapons tab.
std::bitset<256> UsedWeaponNumbers(const Catalogue& catalogue);

// The `count` free numbers (0 to 255, unused in `used`) nearest `number`,
// nearest first; of two as near, the lower first. Fewer when fewer are free.
std::vector<int> NearestFreeWeaponNumbers(const std::bitset<256>& used, std::int32_t number,
                                          std::size_t count = 3);

// The archive each build-menu entry came from, for the entries of the
// catalogued archives; looked up when a menu conflict is explained.
class MenuEntryArchives {
  public:
    explicit MenuEntryArchives(const Catalogue& catalogue);
    // The archive of `entry`, or nullptr when no catalogued archive holds it.
    const clsHPI* archiveOf(const clsMenuEntry& entry) const;

  private:
    std::unordered_map<const clsMenuEntry*, const clsHPI*> m_archives;
};

// An archive's name on disk now ("" without an archive).
std::string ArchiveName(const clsHPI* archive);

}  // namespace kloxmere

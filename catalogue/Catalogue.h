#pragma once

// The run's catalogue: every archive record, unit, weapon and build-menu entry
// found in the TA directory, the side and user groups, and the build-menu
// conflicts. One object, so that each run (and each test) starts from a fresh
// one. It owns the archive records, which own the records they loaded; the
// lists below link to them.

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Collection.h"
#include "base/PositionIndex.h"
#include "base/TextCase.h"
#include "catalogue/MenuConflicts.h"
#include "catalogue/clsUnitGroup.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/clsWeapon.h"

namespace kloxmere {

// The key of the `number`th record named `name`: the name directly followed
// by the number, as the list rows and UnitList use it. Should that key be
// taken (ARM1 as number 1 and ARM as number 11 both make ARM11), "_" is put
// before the number until `tryTake(key)` accepts the key.
template <class TryTake>
std::string RunningNumberKey(std::string_view name, std::size_t number, TryTake&& tryTake) {
    std::string digits = std::to_string(number);
    std::string key = std::string(name) + digits;
    for (std::string separator = "_"; !tryTake(key); separator += '_') {
        key = std::string(name) + separator + digits;
    }
    return key;
}

class Catalogue {
  public:
    Catalogue();
    ~Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    Collection<clsUnitArchive*> ArchiveList;     // catalogued archives, lists first
    Collection<clsUnit*> UnitList;               // key: Name and running number
    Collection<clsWeapon*> WeaponList;           // key: weapon Name
    Collection<clsMenuEntry*> MenuEntryList;     // no two of one GenerateKey (any case)
    Collection<clsUnitGroup> SideList;           // key: side name
    Collection<clsUnitGroup> GroupList;          // the user's groups, key: Name
    std::vector<MenuConflict> MenuConflictList;  // build-menu conflicts, worded when read
    clsUnit* CurrentUnit = nullptr;              // the unit shown and acted on

    // A new archive record owned by the catalogue, whether or not it joins ArchiveList.
    clsUnitArchive& NewArchive();

    // Adds `unit` to UnitList under its Name followed by the running number
    // (UnitList's count + 1); should that key already be taken (ARM1 as unit 1
    // and ARM as unit 11 both make ARM11), "_" is inserted before the number
    // until it is free. Returns the key.
    std::string AddUnit(clsUnit& unit);
    std::string AddUnit(clsUnit& unit, const HashedName& file);  // `file`: unit.Filename, hashed
    // Adds to WeaponList under the weapon's Name; false when the name is taken.
    bool AddWeapon(clsWeapon& weapon);
    bool AddWeapon(clsWeapon& weapon, const HashedName& file);
    // Adds to MenuEntryList; false when an entry of the same GenerateKey
    // (without regard to case) is there.
    bool AddMenuEntry(clsMenuEntry& entry);

    // Whether a unit of UnitList came from the file `path` (without regard to case).
    bool HasUnitFile(std::string_view path) const;
    // Whether a weapon of WeaponList came from the weapon file `path`.
    bool HasWeaponFile(std::string_view path) const;
    // Whether a listed definition file is already catalogued, so that a later
    // archive's copy is passed over: the first archive to bring a unit or
    // weapon file path wins. Download files are always read.
    bool HoldsDefinitionFile(DefinitionKind kind, std::string_view path) const;
    bool HoldsDefinitionFile(DefinitionKind kind, const HashedName& path) const;

    // The UnitList key of `unit` ("" when it is not in UnitList).
    std::string UnitKey(const clsUnit& unit) const;

    // Keeps a group of weapons sharing one number for as long as the catalogue
    // lives; their Conflicts read it.
    const WeaponPartners::Group& KeepWeaponGroup(WeaponPartners::Group group);

  private:
    std::vector<std::unique_ptr<clsUnitArchive>> m_archives;
    // The lists are filled only through the Add functions above, which keep
    // these indexes of their positions: UnitList's units by Filename and by
    // address, WeaponList's weapons by Filename (the first of each file),
    // MenuEntryList's entries by GenerateKey. Names compare without regard to
    // case; the texts are the records' own, never copied.
    PositionIndex m_unitFiles, m_unitAddresses, m_weaponFiles, m_menuKeys;
    std::string m_keyBuffer, m_otherKeyBuffer;         // for comparing build-menu keys
    std::deque<WeaponPartners::Group> m_weaponGroups;  // a deque: groups never move
};

}  // namespace kloxmere

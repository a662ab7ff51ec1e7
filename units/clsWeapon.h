#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Collection.h"

namespace kloxmere {

class clsHPI;
class clsUnit;

// One weapon of a weapon definition file. Links are non-owning: the archive
// record that loaded the weapon owns it.
class clsWeapon {
  public:
    clsHPI* HPI = nullptr;              // the archive the weapon was found in
    std::string Filename;               // the weapon file's path inside that archive
    std::string Name;                   // its section name
    std::int32_t ID = 0;                // its weapon number
    Collection<clsUnit*> Units;         // units carrying it, keyed by unit Name
    std::vector<clsWeapon*> Conflicts;  // other weapons with the same number

    bool Conflict() const { return !Conflicts.empty(); }
};

}  // namespace kloxmere

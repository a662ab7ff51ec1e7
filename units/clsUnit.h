#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Collection.h"
#include "base/CompactText.h"

namespace kloxmere {

class clsHPI;
class clsUnitArchive;
class clsWeapon;
class PlatformServices;
class UnitView;

// One unit definition file. All statistics are text as written in the file.
// Links are non-owning: the archive record that loaded the unit owns it.
class clsUnit {
  public:
    clsHPI* HPI = nullptr;            // the archive the unit was found in
    CompactText Filename;             // its definition file's path inside that archive
    clsUnitArchive* Group = nullptr;  // the loaded contents of that archive
    CompactText Name;                 // "unitname": the internal name
    CompactText Callname;             // "name": the name players see
    CompactText Description;
    CompactText Class;  // "tedclass"
    CompactText ID;     // "unitnumber"
    CompactText Side;
    CompactText MaxDamage;
    CompactText BuildTime;
    CompactText CostEnergy;
    CompactText CostMetal;
    CompactText SightDistance;  // no definition key fills these three; fast-load
    CompactText RadarDistance;  // lists carry them through
    CompactText SonarDistance;
    Collection<clsWeapon*> Weapons;        // weapons found in the catalogue, each once
    std::vector<CompactText> WeaponNames;  // weapon names in definition order
    std::vector<clsUnit*> Conflicts;       // reserved: nothing fills it; Conflict() counts it

    // Reads the definition file `path` from the unit's archive (HPI must be
    // open). False when the extraction failed; the record is then unchanged.
    bool Load(const std::string& path);

    // Links the unit and the weapons of `WeaponList` its WeaponNames name.
    void AttachWeapons(const Collection<clsWeapon*>& WeaponList);

    // Whether the unit's archive carries its enabled name (true without an archive).
    bool Enabled() const;
    // Renames the unit's archive to its enabled or disabled form; see clsHPI::SetEnabled.
    bool SetEnabled(bool value, std::string* reason = nullptr);

    // Shows the unit in `view`, in this order: the status bar's name, the
    // callname, the unit command for the archive's state, the picture
    // cleared, the weapons, then the build picture from the unit's archive
    // centred at the top of the picture panel. The busy pointer is shown
    // meanwhile. A unit without a readable picture leaves the panel empty.
    void Display(UnitView& view, PlatformServices& services) const;

    // 0 no weapon conflict, -1 a conflict with at least one enabled unit, 2
    // conflicts with disabled units only.
    std::int16_t Conflict() const;
    // The unit's weapon conflicts in words; empty without any.
    std::string ConflictDescription() const;
};

// Reads a unit definition's text (UTF-8) into `unit`: the recognised keys set
// its fields, the five weapon keys append to WeaponNames.
void ReadUnitDefinition(clsUnit& unit, std::string_view text);
// The same from the file's own Windows-1252 bytes, as the archive holds them.
void ReadUnitDefinitionBytes(clsUnit& unit, std::span<const std::uint8_t> bytes);

}  // namespace kloxmere

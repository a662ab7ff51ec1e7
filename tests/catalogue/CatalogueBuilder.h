#pragma once

// Builds a catalogue by hand for the catalogue tests, adding records as the
// loaders do. Archive files exist on disk only when a test writes them.

#include <memory>
#include <string>
#include <vector>

#include "archive/clsHPI.h"
#include "catalogue/Catalogue.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/clsWeapon.h"

namespace kloxmere::test {

class CatalogueBuilder {
  public:
    Catalogue catalogue;

    clsUnitArchive& archive(const std::string& path) {
        clsUnitArchive& archive = catalogue.NewArchive();
        archive.HPI = std::make_unique<clsHPI>();
        archive.HPI->Filename = path;
        catalogue.ArchiveList.Add(&archive);
        return archive;
    }

    clsUnit& unit(clsUnitArchive& archive, const std::string& name, const std::string& side = "ARM",
                  const std::string& tedClass = "TANK", std::vector<std::string> weapons = {}) {
        clsUnit& unit = *archive.Units.emplace_back(std::make_unique<clsUnit>());
        unit.HPI = archive.HPI.get();
        unit.Group = &archive;
        unit.Filename = "units\\" + name + ".FBI";
        unit.Name = name;
        unit.Side = side;
        unit.Class = tedClass;
        unit.WeaponNames.assign(weapons.begin(), weapons.end());
        catalogue.AddUnit(unit);
        return unit;
    }

    clsWeapon& weapon(clsUnitArchive& archive, const std::string& name, std::int32_t id) {
        clsWeapon& weapon = *archive.Weapons.emplace_back(std::make_unique<clsWeapon>());
        weapon.HPI = archive.HPI.get();
        weapon.Filename = "weapons\\" + name + ".TDF";
        weapon.Name = name;
        weapon.ID = id;
        catalogue.AddWeapon(weapon);
        return weapon;
    }

    void menuEntry(clsUnitArchive& archive, const std::string& builder, const std::string& menu,
                   const std::string& button, const std::string& unit) {
        clsMenuEntry& entry = *archive.MenuEntries.emplace_back(std::make_unique<clsMenuEntry>());
        entry.BuilderUnit = builder;
        entry.Menu = menu;
        entry.Button = button;
        entry.Unit = unit;
        catalogue.AddMenuEntry(entry);
    }

    // Links every unit to its weapons, as the scan does before the conflict passes.
    void attachWeapons() {
        for (clsUnit* unit : catalogue.UnitList) {
            unit->AttachWeapons(catalogue.WeaponList);
        }
    }
};

}  // namespace kloxmere::test

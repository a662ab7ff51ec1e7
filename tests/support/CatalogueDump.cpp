#include "tests/support/CatalogueDump.h"

#include <sstream>

#include "archive/clsHPI.h"
#include "catalogue/Catalogue.h"

namespace kloxmere::test {

std::string DumpCatalogue(const Catalogue& c) {
    std::ostringstream out;
    for (const clsUnitArchive* archive : c.ArchiveList) {
        out << "archive " << archive->HPI->Filename << " units " << archive->Units.size()
            << " weapons " << archive->Weapons.size() << " entries " << archive->MenuEntries.size()
            << "\n";
    }
    for (std::size_t i = 1; i <= c.UnitList.Count(); ++i) {
        const clsUnit& u = *c.UnitList.Item(i);
        out << "unit " << *c.UnitList.KeyAt(i) << " " << u.Filename << " " << u.HPI->Filename << " "
            << u.Name << "|" << u.Callname << "|" << u.Side << "|" << u.Class << "|" << u.ID << "|"
            << u.Description << " state " << u.Conflict() << " weapons";
        for (const clsWeapon* w : u.Weapons) out << " " << w->Name;
        out << " conflicts " << u.ConflictDescription() << "\n";
    }
    for (std::size_t i = 1; i <= c.WeaponList.Count(); ++i) {
        const clsWeapon& w = *c.WeaponList.Item(i);
        out << "weapon " << *c.WeaponList.KeyAt(i) << " " << w.ID << " " << w.Filename << " "
            << w.HPI->Filename << " with";
        for (const clsWeapon* other : w.Conflicts) out << " " << other->Name;
        out << " units " << w.Units.Count() << "\n";
    }
    for (std::size_t i = 1; i <= c.MenuEntryList.Count(); ++i) {
        out << "entry " << c.MenuEntryList.Item(i)->GenerateKey() << "\n";
    }
    for (const auto& message : MenuConflictMessages(c)) out << "menu conflict " << message << "\n";
    for (const clsUnitGroup& side : c.SideList) {
        out << "side " << side.Name << ":";
        for (const auto& tedClass : side.Keywords) out << " " << tedClass;
        out << "\n";
    }
    if (c.CurrentUnit) out << "current " << c.CurrentUnit->Name << "\n";
    return out.str();
}

}  // namespace kloxmere::test

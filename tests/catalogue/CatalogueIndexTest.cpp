// The catalogue finds its records by file, address and build-menu key through
// indexes of list positions: what a scan asks of them must hold for many
// records, for names in any case and for records it never took.

#include <gtest/gtest.h>

#include <string>

#include "tests/catalogue/CatalogueBuilder.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;

TEST(CatalogueIndexes, FilesAddressesAndMenuKeysAreFoundAmongThousands) {
    CatalogueBuilder b;
    clsUnitArchive& archive = b.archive("big.ufo");
    std::vector<clsUnit*> units;
    for (int i = 0; i < 3000; ++i) {
        units.push_back(&b.unit(archive, "UNIT" + std::to_string(i)));
        b.weapon(archive, "GUN" + std::to_string(i), i);
        b.menuEntry(archive, "BUILDER" + std::to_string(i % 50), "1", std::to_string(i % 6),
                    "UNIT" + std::to_string(i));
    }
    for (int i = 0; i < 3000; i += 7) {
        std::string n = std::to_string(i);
        EXPECT_TRUE(b.catalogue.HasUnitFile("UNITS\\unit" + n + ".fbi")) << i;
        EXPECT_TRUE(
            b.catalogue.HoldsDefinitionFile(DefinitionKind::Weapons, "weapons\\gun" + n + ".tdf"))
            << i;
        EXPECT_EQ(b.catalogue.UnitKey(*units[i]), "UNIT" + n + std::to_string(i + 1));
    }
    EXPECT_FALSE(b.catalogue.HasUnitFile("units\\UNIT3000.FBI"));
    EXPECT_FALSE(b.catalogue.HasUnitFile("weapons\\GUN1.TDF"));  // a weapon file is no unit file
    EXPECT_FALSE(b.catalogue.HoldsDefinitionFile(DefinitionKind::Download, "download\\X.TDF"));

    // A unit the catalogue never took has no key, even with a listed twin's name and file.
    clsUnit stranger = *units[5];
    EXPECT_EQ(b.catalogue.UnitKey(stranger), "");

    // A build-menu key already there, in any case, is refused and leaves the list alone.
    std::size_t entries = b.catalogue.MenuEntryList.Count();
    clsMenuEntry again{"builder7", "1", "1", "unit7"};
    EXPECT_FALSE(b.catalogue.AddMenuEntry(again));
    clsMenuEntry other{"BUILDER7", "1", "1", "UNIT8"};
    EXPECT_TRUE(b.catalogue.AddMenuEntry(other));
    EXPECT_EQ(b.catalogue.MenuEntryList.Count(), entries + 1);
    EXPECT_EQ(b.catalogue.MenuEntryList.Item(entries + 1), &other);
}

TEST(CatalogueIndexes, AWeaponFileOfSeveralWeaponsStaysHeldWhicheverNameIsRefused) {
    CatalogueBuilder b;
    clsUnitArchive& archive = b.archive("a.ufo");
    clsWeapon& first = *archive.Weapons.emplace_back(std::make_unique<clsWeapon>());
    first.Name = "LASER";
    first.Filename = "weapons\\SHARED.TDF";
    EXPECT_TRUE(b.catalogue.AddWeapon(first));
    // A name already catalogued is refused: its file is only held through the first.
    clsWeapon& refused = *archive.Weapons.emplace_back(std::make_unique<clsWeapon>());
    refused.Name = "laser";
    refused.Filename = "weapons\\OTHER.TDF";
    EXPECT_FALSE(b.catalogue.AddWeapon(refused));
    EXPECT_TRUE(b.catalogue.HasWeaponFile("WEAPONS\\shared.tdf"));
    EXPECT_FALSE(b.catalogue.HasWeaponFile("weapons\\OTHER.TDF"));
}

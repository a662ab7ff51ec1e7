// Fast-load unit lists: the byte layout, round trips, and which lists are used,
// kept or discarded.

#include <gtest/gtest.h>

#include "archive/clsHPI.h"
#include "base/ByteStream.h"
#include "catalogue/Catalogue.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "units/modGeneric.h"

using namespace kloxmere;
using kloxmere::test::RecordingServices;
using kloxmere::test::TempDir;

namespace {

// A list written byte by byte: one unit with one weapon name, one weapon, one entry.
std::vector<std::uint8_t> handWrittenList(const std::string& archiveName) {
    ByteWriter w;
    auto z = [&](const std::string& s) { WriteZString(w, s); };
    z(archiveName);
    w.writeI32(1);
    w.writeI32(1);
    w.writeI32(1);
    for (const char* field : {"units\\ARMLLT.FBI", "ARMLLT", "Light Laser Tower", "Defends", "FORT",
                              "12", "ARM", "900", "1200", "1000", "90", "", "", ""}) {
        z(field);
    }
    w.writeI32(1);
    z("ARM_LLT_LASER");
    z("weapons\\WEAPONS.TDF");
    z("ARM_LLT_LASER");
    z("14");
    z("ARMCOM");  // BuilderUnit
    z("3");       // Button comes before Menu
    z("1");       // Menu
    z("ARMLLT");
    return w.take();
}

struct ListFixture {
    TempDir ta, home;
    Catalogue catalogue;
    RecordingServices services;

    bool load(const std::string& listName) {
        return catalogue.NewArchive().LoadList(home.file(listName), catalogue, ta.str());
    }
};

// An archive record filled by hand, as the loader would fill it.
void fillArchive(clsUnitArchive& archive, const std::string& filename) {
    archive.HPI = std::make_unique<clsHPI>();
    archive.HPI->Filename = filename;
    auto weapon = std::make_unique<clsWeapon>();
    weapon->Filename = "weapons\\ARM.TDF";
    weapon->Name = "ARM_LASER";
    weapon->ID = 12;
    auto unit = std::make_unique<clsUnit>();
    unit->Filename = "units\\ARMLLT.FBI";
    unit->Name = "ARMLLT";
    unit->Callname = "Tour légère";
    unit->MaxDamage = "900";
    unit->SonarDistance = "300";
    unit->Weapons.Add(weapon.get(), weapon->Name);
    unit->WeaponNames = {"ARM_LASER", "MISSING"};
    auto entry = std::make_unique<clsMenuEntry>();
    entry->BuilderUnit = "ARMCOM";
    entry->Menu = "2";
    entry->Button = "5";
    entry->Unit = "ARMLLT";
    archive.Units.push_back(std::move(unit));
    archive.Weapons.push_back(std::move(weapon));
    archive.MenuEntries.push_back(std::move(entry));
}

}  // namespace

TEST(UnitListFile, AHandWrittenListLoadsFieldByField) {
    ListFixture f;
    f.ta.write("rev.hpi", "archive");
    f.home.write("rev.udf", handWrittenList("rev.hpi"));
    ASSERT_TRUE(f.load("rev.udf"));
    ASSERT_EQ(f.catalogue.UnitList.Count(), 1u);
    const clsUnit& unit = *f.catalogue.UnitList.Item(1);
    EXPECT_EQ(f.catalogue.UnitList.KeyAt(1), "ARMLLT1");
    EXPECT_EQ(unit.Filename, "units\\ARMLLT.FBI");
    EXPECT_EQ(unit.Class, "FORT");
    EXPECT_EQ(unit.CostMetal, "90");
    EXPECT_EQ(unit.WeaponNames, std::vector<CompactText>{"ARM_LLT_LASER"});
    EXPECT_EQ(unit.HPI->Filename, f.ta.str() + "rev.hpi");
    EXPECT_EQ(unit.HPI->Handle, 0);  // the archive is not opened
    EXPECT_EQ(f.catalogue.WeaponList.Item(1)->ID, 14);
    const clsMenuEntry& entry = *f.catalogue.MenuEntryList.Item(1);
    EXPECT_EQ(entry.Menu, "1");
    EXPECT_EQ(entry.Button, "3");
    EXPECT_TRUE(f.catalogue.HasUnitFile("UNITS\\armllt.fbi"));
}

TEST(UnitListFile, SaveAndLoadRoundTripIncludingAttachedWeaponsAndAccents) {
    ListFixture f;
    f.ta.write("rev.hpi", "archive");
    clsUnitArchive& saved = f.catalogue.NewArchive();
    fillArchive(saved, f.ta.str() + "rev.hpi");
    ASSERT_TRUE(saved.SaveList(f.home.file("rev.udf"), f.services));

    Catalogue fresh;
    clsUnitArchive& loaded = fresh.NewArchive();
    ASSERT_TRUE(loaded.LoadList(f.home.file("rev.udf"), fresh, f.ta.str()));
    ASSERT_EQ(loaded.Units.size(), 1u);
    const clsUnit& unit = *loaded.Units[0];
    EXPECT_EQ(unit.Callname, "Tour légère");
    EXPECT_EQ(unit.SonarDistance, "300");
    EXPECT_EQ(unit.WeaponNames, std::vector<CompactText>{"ARM_LASER"});  // attached ones only
    EXPECT_EQ(unit.Group, &loaded);
    EXPECT_EQ(loaded.Weapons[0]->ID, 12);
    EXPECT_EQ(loaded.Weapons[0]->Filename, "weapons\\ARM.TDF");
    EXPECT_EQ(loaded.MenuEntries[0]->Key(), "ARMCOM 2 5 ARMLLT");
    EXPECT_EQ(fresh.MenuEntryList.Count(), 1u);
}

TEST(UnitListFile, AShorterListReplacesALongerOneCompletely) {
    ListFixture f;
    f.ta.write("rev.hpi", "archive");
    f.home.write("rev.udf", std::vector<std::uint8_t>(4096, 'x'));
    clsUnitArchive& empty = f.catalogue.NewArchive();
    empty.HPI = std::make_unique<clsHPI>();
    empty.HPI->Filename = f.ta.str() + "rev.hpi";
    ASSERT_TRUE(empty.SaveList(f.home.file("rev.udf"), f.services));
    EXPECT_EQ(f.home.read("rev.udf").size(), 8u + 12u);  // "rev.hpi", 0, three counts
    EXPECT_TRUE(f.load("rev.udf"));
}

TEST(UnitListFile, AListOfADisabledArchiveIsUsedUnderItsNewName) {
    ListFixture f;
    f.ta.write("rev.xhpi", "archive");
    f.home.write("rev.udf", handWrittenList("rev.hpi"));
    ASSERT_TRUE(f.load("rev.udf"));
    EXPECT_EQ(f.catalogue.UnitList.Item(1)->HPI->Filename, f.ta.str() + "rev.xhpi");
}

TEST(UnitListFile, AListWhoseArchiveIsGoneIsKeptButNotUsed) {
    ListFixture f;
    f.home.write("rev.udf", handWrittenList("rev.hpi"));
    EXPECT_FALSE(f.load("rev.udf"));
    EXPECT_TRUE(f.home.exists("rev.udf"));
    EXPECT_EQ(f.catalogue.UnitList.Count(), 0u);
}

TEST(UnitListFile, DamagedListsAreDeletedAndAddNothing) {
    ListFixture f;
    f.ta.write("rev.hpi", "archive");
    std::vector<std::uint8_t> good = handWrittenList("rev.hpi");
    f.home.write("empty-name.udf", std::vector<std::uint8_t>{0, 0, 0, 0});
    f.home.write("truncated.udf", std::vector<std::uint8_t>(good.begin(), good.end() - 3));
    std::vector<std::uint8_t> negative = good;
    negative[8] = 0xFF;  // the unit count, right after "rev.hpi\0"
    negative[9] = negative[10] = negative[11] = 0xFF;
    f.home.write("negative.udf", negative);
    for (const char* name : {"empty-name.udf", "truncated.udf", "negative.udf"}) {
        EXPECT_FALSE(f.load(name)) << name;
        EXPECT_FALSE(f.home.exists(name)) << name;
    }
    EXPECT_EQ(f.catalogue.UnitList.Count(), 0u);
    EXPECT_EQ(f.catalogue.WeaponList.Count(), 0u);
}

TEST(UnitListFile, NamesTakenByTheCatalogueAreSkippedAndTheListIsUsed) {
    ListFixture f;
    f.ta.write("rev.hpi", "archive");
    f.ta.write("other.ufo", "archive");
    f.home.write("rev.udf", handWrittenList("rev.hpi"));
    f.home.write("other.udf", handWrittenList("other.ufo"));
    ASSERT_TRUE(f.load("rev.udf"));
    ASSERT_TRUE(f.load("other.udf"));
    EXPECT_TRUE(f.home.exists("other.udf"));
    EXPECT_EQ(f.catalogue.UnitList.Count(), 2u);
    EXPECT_EQ(f.catalogue.UnitList.KeyAt(2), "ARMLLT2");
    EXPECT_EQ(f.catalogue.WeaponList.Count(), 1u);
    EXPECT_EQ(f.catalogue.MenuEntryList.Count(), 1u);
}

TEST(UnitListFile, AFailedSaveKeepsTheOldListAndSaysSo) {
    ListFixture f;
    clsUnitArchive& archive = f.catalogue.NewArchive();
    fillArchive(archive, f.ta.str() + "rev.hpi");
    EXPECT_FALSE(archive.SaveList(f.home.file("missing/rev.udf"), f.services));
    ASSERT_EQ(f.services.messages.size(), 1u);
    EXPECT_EQ(f.services.messages[0].title, "Kloxmere");
    EXPECT_EQ(f.services.messages[0].icon, MessageIcon::None);
    EXPECT_FALSE(f.home.exists("missing"));
}

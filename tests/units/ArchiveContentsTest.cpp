// Loading one archive's definition files into its record and the catalogue.

#include <gtest/gtest.h>

#include <fstream>

#include "archive/HpiArchive.h"
#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "catalogue/Catalogue.h"
#include "tests/support/Installation.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;

namespace {

struct ContentsFixture {
    TempDir ta;
    Catalogue catalogue;
    RecordingServices services;

    clsUnitArchive& load(const std::string& name) {
        clsUnitArchive& archive = catalogue.NewArchive();
        archive.HPI = std::make_unique<clsHPI>();
        archive.HPI->LoadFile(ta.file(name));
        archive.HPI->CreateListing({"units", "weapons", "download"});
        archive.LoadFiles(catalogue, services);
        archive.HPI->CloseFile();
        catalogue.ArchiveList.Add(&archive);
        return archive;
    }

    // Breaks the stored bytes of one file so that its checksum no longer holds.
    void damage(const std::string& archiveName, const std::string& innerPath) {
        auto bytes = ta.read(archiveName);
        std::string marker = "SQSH";
        auto file = HpiArchive::open(ta.path() / PathFromUtf8(archiveName));
        std::vector<std::uint8_t> content = file->extract(innerPath);
        // Each small file is one chunk; find it by its decompressed size (bytes 11-14).
        for (std::size_t at = 0; at + 19 < bytes.size(); ++at) {
            if (std::equal(marker.begin(), marker.end(), bytes.begin() + at) &&
                bytes[at + 11] == static_cast<std::uint8_t>(content.size() & 0xFF)) {
                bytes[at + 19] ^= 0x5A;
                ta.write(archiveName, bytes);
                return;
            }
        }
        FAIL() << "no chunk of " << innerPath;
    }
};

}  // namespace

TEST(ArchiveContents, TheFirstArchiveWinsAUnitOrWeaponFilePath) {
    ContentsFixture f;
    WriteArchive(f.ta.file("a.hpi"), {{"units\\ARMCOM.FBI", UnitText("ARMCOM")},
                                      {"weapons\\W.TDF", WeaponText({{"LASER", 1}})}});
    WriteArchive(f.ta.file("b.ufo"), {{"units\\armcom.fbi", UnitText("OTHERCOM")},
                                      {"units\\TANK.FBI", UnitText("ARMCOM")},
                                      {"weapons\\w.tdf", WeaponText({{"BEAM", 2}})}});
    f.load("a.hpi");
    clsUnitArchive& second = f.load("b.ufo");
    ASSERT_EQ(second.Units.size(), 1u);  // only the tank: its name repeats, its path does not
    EXPECT_EQ(f.catalogue.UnitList.KeyAt(1), "ARMCOM1");
    EXPECT_EQ(f.catalogue.UnitList.KeyAt(2), "ARMCOM2");
    EXPECT_TRUE(second.Weapons.empty());
    EXPECT_TRUE(f.services.messages.empty());
    EXPECT_EQ(second.Units[0]->Group, &second);
    EXPECT_EQ(second.Units[0]->HPI, second.HPI.get());
    EXPECT_EQ(second.Units[0]->Filename, "units\\TANK.FBI");
}

TEST(ArchiveContents, ADuplicateWeaponNameStaysInItsArchiveAndReadingGoesOn) {
    ContentsFixture f;
    WriteArchive(f.ta.file("a.hpi"), {{"weapons\\A.TDF", WeaponText({{"SHARED", 1}})}});
    WriteArchive(f.ta.file("b.ufo"),
                 {{"weapons\\B.TDF", WeaponText({{"SHARED", 2}, {"LATER", 3}})}});
    f.load("a.hpi");
    clsUnitArchive& second = f.load("b.ufo");
    ASSERT_EQ(second.Weapons.size(), 2u);
    EXPECT_EQ(f.catalogue.WeaponList.Count(), 2u);
    EXPECT_EQ((*f.catalogue.WeaponList.Find("SHARED"))->ID, 1);
    EXPECT_EQ((*f.catalogue.WeaponList.Find("LATER"))->ID, 3);
    EXPECT_EQ(second.Weapons[0]->Filename, "weapons\\B.TDF");
}

TEST(ArchiveContents, ADuplicateMenuEntryStaysInItsArchive) {
    ContentsFixture f;
    std::string entry = DownloadText("ARMCOM", "1", "2", "ARMSOLAR");
    WriteArchive(f.ta.file("a.hpi"), {{"download\\A.TDF", entry}});
    WriteArchive(f.ta.file("b.ufo"), {{"download\\B.TDF", entry}});
    f.load("a.hpi");
    clsUnitArchive& second = f.load("b.ufo");
    EXPECT_EQ(second.MenuEntries.size(), 1u);
    EXPECT_EQ(f.catalogue.MenuEntryList.Count(), 1u);
}

TEST(ArchiveContents, DamagedFilesArePassedOverAndTheRestIsRead) {
    ContentsFixture f;
    WriteArchive(f.ta.file("a.ufo"),
                 {{"units\\BROKEN.FBI", UnitText("BROKENUNIT", "ARM", "TANKCLASSLONGER")},
                  {"units\\GOOD.FBI", UnitText("GOOD")},
                  {"download\\D.TDF", DownloadText("ARMCOM", "1", "2", "GOOD")}});
    f.damage("a.ufo", "units\\BROKEN.FBI");
    clsUnitArchive& archive = f.load("a.ufo");
    ASSERT_EQ(archive.Units.size(), 1u);
    EXPECT_EQ(archive.Units[0]->Name, "GOOD");
    EXPECT_EQ(f.catalogue.UnitList.KeyAt(1), "GOOD1");
    EXPECT_FALSE(f.catalogue.HasUnitFile("units\\BROKEN.FBI"));  // a later copy may still load

    WriteArchive(f.ta.file("b.ufo"), {{"download\\D.TDF", DownloadText("A", "1", "2", "B")},
                                      {"units\\LATE.FBI", UnitText("LATE")}});
    f.damage("b.ufo", "download\\D.TDF");
    clsUnitArchive& second = f.load("b.ufo");
    EXPECT_TRUE(second.MenuEntries.empty());
    EXPECT_EQ(second.Units.size(), 1u);
}

// The scan's reading path lists and decodes an archive exactly as opening it
// by name, listing it and extracting each file by name do.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/ScanReader.h"
#include "archive/HpiWriter.h"
#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "tests/support/Installation.h"
#include "tests/support/TempDir.h"
#include "units/DefinitionDigest.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"

using namespace kloxmere;
using namespace kloxmere::test;

namespace {

const std::vector<std::string> kDirectories = {"units", "weapons", "download"};

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// Definition files in every directory the scan lists, scrambled with an
// archive key, some chunk-scrambled or stored, with a big file between them,
// a sub-directory named like a file and a file without a dot; the last unit
// file's data is cut off by the file's end.
void writeArchive(const std::string& path) {
    HpiWriter writer(0x5C);
    writer.addFile("units/ARMA.fbi", bytesOf(UnitText("ARMA", "ARM", "TANK", {"GUN"})));
    writer.addFile("units/armb.FBI", bytesOf(UnitText("ARMB")), {HpiCompression::Zlib, true});
    writer.addFile("units/big.3do", std::vector<std::uint8_t>(300000, 7),
                   {HpiCompression::Stored, false});
    writer.addFile("units/core.fbi", bytesOf(UnitText("CORE", "CORE")),
                   {HpiCompression::Stored, false});
    writer.addFile("units/notes", bytesOf("no dot"));
    writer.addFile("units/old.fbi/x.fbi", bytesOf(UnitText("DEEP")));
    writer.addFile("weapons/guns.tdf", bytesOf(WeaponText({{"GUN", 3}, {"LASER", 4}})));
    writer.addFile("download/menu.tdf", bytesOf(DownloadText("ARMA", "1", "2", "ARMB")));
    writer.addFile("units/zzz.fbi", bytesOf(UnitText("ZZZ")));
    writer.write(PathFromUtf8(path));
}

struct Read {
    std::vector<std::string> listing;
    std::vector<std::uint64_t> hashes;
    std::vector<std::string> units, weapons, menus;
};

Read byName(const std::string& path) {
    clsHPI hpi;
    hpi.LoadFile(path);
    hpi.CreateListing(kDirectories);
    Read read;
    read.listing = hpi.Listing;
    for (const std::string& listed : hpi.Listing) {
        std::uint64_t hash = 0;
        auto kind = ClassifyListedFile(listed);
        if (!kind) continue;
        DecodedFile decoded = DecodeListedFile(hpi, listed, *kind, &hash);
        read.hashes.push_back(hash);
        if (decoded.unit) read.units.push_back(decoded.unit->Name);
        for (auto& weapon : decoded.weapons) read.weapons.push_back(weapon->Name);
        for (auto& entry : decoded.menuEntries) read.menus.push_back(entry->Unit);
    }
    hpi.CloseFile();
    return read;
}

Read byScan(const std::string& path) {
    clsHPI hpi;
    ScanArchive scan = OpenForScan(hpi, path, kDirectories);
    Read read;
    read.listing = hpi.Listing;
    std::vector<ScanFile> files;
    for (std::size_t i = 0; i < hpi.Listing.size(); ++i) {
        if (ClassifyListedFile(hpi.Listing[i])) files.push_back({i, true});
    }
    std::vector<std::optional<DecodedFile>> decoded(hpi.Listing.size());
    std::vector<std::uint64_t> hashes(hpi.Listing.size());
    if (scan.archive) {
        OrderByData(scan, files);
        ReadScanFiles(scan, hpi, files, decoded, hashes);
    }
    for (std::size_t i = 0; i < hpi.Listing.size(); ++i) {
        if (!ClassifyListedFile(hpi.Listing[i])) continue;
        read.hashes.push_back(hashes[i]);
        EXPECT_TRUE(decoded[i]) << hpi.Listing[i];
        if (!decoded[i]) continue;
        if (decoded[i]->unit) {
            EXPECT_EQ(decoded[i]->unit->HPI, &hpi);
            read.units.push_back(decoded[i]->unit->Name);
        }
        for (auto& weapon : decoded[i]->weapons) read.weapons.push_back(weapon->Name);
        for (auto& entry : decoded[i]->menuEntries) read.menus.push_back(entry->Unit);
    }
    // The handle reads the same archive for the unit panel.
    if (hpi.Handle != 0) {
        EXPECT_EQ(hpi.ExtractToMemory("units\\notes"), bytesOf("no dot"));
        hpi.CloseFile();
    }
    return read;
}

void expectSame(const Read& scan, const Read& name) {
    EXPECT_EQ(scan.listing, name.listing);
    EXPECT_EQ(scan.hashes, name.hashes);
    EXPECT_EQ(scan.units, name.units);
    EXPECT_EQ(scan.weapons, name.weapons);
    EXPECT_EQ(scan.menus, name.menus);
}

TEST(ScanReader, ListsAndDecodesAsExtractingByName) {
    TempDir dir;
    writeArchive(dir.file("a.hpi"));
    Read name = byName(dir.file("a.hpi"));
    EXPECT_EQ(name.listing,
              (std::vector<std::string>{"units\\ARMA.fbi", "units\\armb.FBI", "units\\big.3do",
                                        "units\\core.fbi", "units\\zzz.fbi", "weapons\\guns.tdf",
                                        "download\\menu.tdf"}));
    EXPECT_EQ(name.units, (std::vector<std::string>{"ARMA", "ARMB", "CORE", "ZZZ"}));
    expectSame(byScan(dir.file("a.hpi")), name);
}

TEST(ScanReader, ACutArchiveLosesTheSameFiles) {
    TempDir dir;
    writeArchive(dir.file("a.hpi"));
    auto bytes = dir.read("a.hpi");
    // Into the data of the last files; the directory still reads.
    bytes.resize(bytes.size() - 36 - 20);
    dir.write("a.hpi", bytes);
    Read name = byName(dir.file("a.hpi"));
    EXPECT_NE(std::count(name.hashes.begin(), name.hashes.end(), HashDefinitionFile(std::nullopt)),
              0);
    expectSame(byScan(dir.file("a.hpi")), name);
}

TEST(ScanReader, AFileThatIsNoArchiveListsNothing) {
    TempDir dir;
    dir.write("bad.ufo", "damaged beyond use");
    clsHPI hpi;
    ScanArchive scan = OpenForScan(hpi, dir.file("bad.ufo"), kDirectories);
    EXPECT_FALSE(scan.archive);
    EXPECT_EQ(hpi.Handle, 0);
    EXPECT_EQ(hpi.Filename, dir.file("bad.ufo"));
    EXPECT_TRUE(hpi.Listing.empty());
    OpenForScan(hpi, dir.file("missing.hpi"), kDirectories);
    EXPECT_EQ(hpi.Handle, 0);
}

}  // namespace

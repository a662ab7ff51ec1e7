#pragma once

// The contents of a generated installation, decided before any file is
// written: which archives exist, in the order the scan loads them, and what
// each holds. Everything that depends on that order (which copy of a path
// wins, which weapon name is new) is settled here, in one pass over the
// archives in load order, so that the catalogue counts are known exactly.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/HpiWriter.h"
#include "tools/DefinitionWriter.h"
#include "tools/InstallationGenerator.h"

namespace kloxmere::tools {

enum class ArchiveRole {
    Game,        // the game's own *.hpi
    Expansion,   // *.ccx
    AddOn,       // a unit pack *.ufo of 1 to 10 units
    WeaponPack,  // a *.ufo of many weapons and a few units
    MenuPatch,   // a *.ufo of build-menu entries only
    MapPack,     // a *.ufo of maps: nothing the catalogue reads
    OldVersion,  // an older, disabled copy of an add-on, beside it
};

struct PlannedUnit {
    std::string fileName;  // inside the units directory, "VNRAZ.FBI"
    UnitDefinition definition;
    std::size_t textSize = 0;  // the definition's intended length
    bool shadowed = false;     // an earlier archive holds the same path
};

struct PlannedWeaponFile {
    std::string fileName;  // inside the weapons directory
    std::vector<WeaponDefinition> weapons;
    bool shadowed = false;
};

struct PlannedDownloadFile {
    std::string fileName;  // inside the download directory
    std::vector<MenuEntryDefinition> entries;
};

struct PlannedArchive {
    std::string fileName;
    ArchiveRole role = ArchiveRole::AddOn;
    std::uint8_t key = 0;
    HpiFileEncoding encoding;
    std::string unitsDir = "units", weaponsDir = "weapons", downloadDir = "download";
    std::vector<PlannedUnit> units;
    std::vector<PlannedWeaponFile> weaponFiles;
    std::vector<PlannedDownloadFile> downloadFiles;
    std::vector<std::string> maps;  // map names, for maps\NAME.tnt and .ota
    std::uint64_t seed = 0;         // for choices made while writing

    bool disabled() const;
    // Whether the scan catalogues it: it holds a unit, weapon or download file.
    bool catalogued() const;
};

struct InstallationPlan {
    std::vector<PlannedArchive> archives;  // in the scan's load order
    std::string trailerYear;
    std::uint64_t units = 0, shadowedUnitFiles = 0;
    std::uint64_t weapons = 0, weaponSections = 0, shadowedWeaponFiles = 0;
    std::uint64_t menuEntries = 0, menuEntriesWritten = 0, sharedMenuSlots = 0;
};

InstallationPlan PlanInstallation(const InstallationTier& tier, std::uint64_t seed);

}  // namespace kloxmere::tools

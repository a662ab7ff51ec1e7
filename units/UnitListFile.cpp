// Fast-load unit lists (*.udf): one archive's catalogue contents, so that the
// scan need not open the archive. Little-endian, no header:
//
//   string  archive file name, no directory (rev.hpi or rev.xhpi)
//   int32   unit count U, int32 weapon count W, int32 menu-entry count M
//   U x     14 strings: Filename, Name, Callname, Description, Class, ID, Side,
//           MaxDamage, BuildTime, CostEnergy, CostMetal, SightDistance,
//           RadarDistance, SonarDistance; int32 K; K strings: attached weapon names
//   W x     3 strings: Filename, Name, ID (decimal text)
//   M x     4 strings: BuilderUnit, Button, Menu, Unit (Button before Menu)
//
// A string is Windows-1252 bytes ended by a 0 byte. Bytes after the last
// record are never read.

#include <filesystem>

#include "archive/clsHPI.h"
#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "base/PlatformServices.h"
#include "base/TextCase.h"
#include "catalogue/Catalogue.h"
#include "units/ArchiveNames.h"
#include "units/DefinitionText.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/clsWeapon.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

// The list is damaged: it cannot be used and is deleted.
struct DamagedList {};

std::string readString(ByteReader& reader) {
    std::string text = ReadZString(reader);
    if (reader.hitEnd()) throw DamagedList{};
    return text;
}

std::int32_t readCount(ByteReader& reader) {
    std::int32_t count = reader.readI32();
    if (count < 0) throw DamagedList{};
    return count;
}

void parseRecords(ByteReader& reader, UnitListContents& list) {
    std::int32_t unitCount = readCount(reader);
    std::int32_t weaponCount = readCount(reader);
    std::int32_t menuCount = readCount(reader);
    for (std::int32_t i = 0; i < unitCount; ++i) {
        auto unit = std::make_unique<clsUnit>();
        for (std::string clsUnit::*field :
             {&clsUnit::Filename, &clsUnit::Name, &clsUnit::Callname, &clsUnit::Description,
              &clsUnit::Class, &clsUnit::ID, &clsUnit::Side, &clsUnit::MaxDamage,
              &clsUnit::BuildTime, &clsUnit::CostEnergy, &clsUnit::CostMetal,
              &clsUnit::SightDistance, &clsUnit::RadarDistance, &clsUnit::SonarDistance}) {
            (*unit).*field = readString(reader);
        }
        for (std::int32_t k = readCount(reader); k > 0; --k) {
            unit->WeaponNames.push_back(readString(reader));
        }
        list.units.push_back(std::move(unit));
    }
    for (std::int32_t i = 0; i < weaponCount; ++i) {
        auto weapon = std::make_unique<clsWeapon>();
        weapon->Filename = readString(reader);
        weapon->Name = readString(reader);
        auto id = LeadingInteger(readString(reader));
        if (!id) throw DamagedList{};
        weapon->ID = *id;
        list.weapons.push_back(std::move(weapon));
    }
    for (std::int32_t i = 0; i < menuCount; ++i) {
        auto entry = std::make_unique<clsMenuEntry>();
        entry->BuilderUnit = readString(reader);
        entry->Button = readString(reader);
        entry->Menu = readString(reader);
        entry->Unit = readString(reader);
        list.menuEntries.push_back(std::move(entry));
    }
}

}  // namespace

UnitListContents::UnitListContents() = default;
UnitListContents::UnitListContents(UnitListContents&&) noexcept = default;
UnitListContents& UnitListContents::operator=(UnitListContents&&) noexcept = default;
UnitListContents::~UnitListContents() = default;

UnitListContents ParseUnitList(std::span<const std::uint8_t> bytes) {
    UnitListContents list;
    ByteReader reader(bytes);
    list.archiveName = ReadZString(reader);
    if (list.archiveName.empty() || reader.hitEnd()) {
        list.archiveName.clear();
        list.damaged = true;
        return list;
    }
    try {
        parseRecords(reader, list);
    } catch (const DamagedList&) {
        list.damaged = true;
    } catch (const TruncatedError&) {
        list.damaged = true;
    }
    if (list.damaged) {
        list.units.clear();
        list.weapons.clear();
        list.menuEntries.clear();
    }
    return list;
}

bool clsUnitArchive::SaveList(const std::string& path, PlatformServices& services) const {
    ByteWriter out;
    WriteZString(out, FileTitle(HPI ? HPI->Filename : std::string()));
    out.writeI32(static_cast<std::int32_t>(Units.size()));
    out.writeI32(static_cast<std::int32_t>(Weapons.size()));
    out.writeI32(static_cast<std::int32_t>(MenuEntries.size()));
    for (const auto& unit : Units) {
        for (const std::string* field :
             {&unit->Filename, &unit->Name, &unit->Callname, &unit->Description, &unit->Class,
              &unit->ID, &unit->Side, &unit->MaxDamage, &unit->BuildTime, &unit->CostEnergy,
              &unit->CostMetal, &unit->SightDistance, &unit->RadarDistance, &unit->SonarDistance}) {
            WriteZString(out, *field);
        }
        out.writeI32(static_cast<std::int32_t>(unit->Weapons.Count()));
        for (const clsWeapon* weapon : unit->Weapons) WriteZString(out, weapon->Name);
    }
    for (const auto& weapon : Weapons) {
        WriteZString(out, weapon->Filename);
        WriteZString(out, weapon->Name);
        WriteZString(out, std::to_string(weapon->ID));
    }
    for (const auto& entry : MenuEntries) {
        WriteZString(out, entry->BuilderUnit);
        WriteZString(out, entry->Button);
        WriteZString(out, entry->Menu);
        WriteZString(out, entry->Unit);
    }
    try {
        WriteFileAtomically(PathFromUtf8(path), out.bytes());
        return true;
    } catch (const FileError& error) {
        services.ShowMessage(error.what(), kApplicationTitle, MessageIcon::None);
        return false;
    }
}

bool clsUnitArchive::LoadList(const std::string& path, Catalogue& catalogue,
                              const std::string& taDirectory) {
    return LoadList(path, catalogue, DirectoryNames(taDirectory));
}

bool clsUnitArchive::LoadList(const std::string& path, Catalogue& catalogue,
                              const DirectoryNames& taFiles) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(PathFromUtf8(path));
    } catch (const FileError&) {
        return false;
    }
    auto discard = [&] {
        std::error_code ignored;
        std::filesystem::remove(PathFromUtf8(path), ignored);
        return false;
    };

    // The whole list is read before the catalogue is touched, so that a
    // damaged list adds nothing and the scan reads the archive itself instead.
    UnitListContents list = ParseUnitList(bytes);
    if (list.archiveName.empty()) return discard();

    std::string onDisk = taFiles.find(list.archiveName);
    if (onDisk.empty()) onDisk = taFiles.find(ToggledName(list.archiveName));
    if (onDisk.empty()) return false;  // the archive is gone; the list stays for when it returns
    if (list.damaged) return discard();

    HPI = std::make_unique<clsHPI>();
    HPI->Filename = taFiles.directory() + onDisk;
    for (auto& unit : list.units) {
        unit->HPI = HPI.get();
        unit->Group = this;
        catalogue.AddUnit(*unit);
        Units.push_back(std::move(unit));
    }
    for (auto& weapon : list.weapons) {
        weapon->HPI = HPI.get();
        catalogue.AddWeapon(*weapon);  // a name already catalogued stays in this archive only
        Weapons.push_back(std::move(weapon));
    }
    addMenuEntries(std::move(list.menuEntries), catalogue);
    return true;
}

}  // namespace kloxmere

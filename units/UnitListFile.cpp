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

#include <algorithm>
#include <cstring>
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

// Reads the records in place: each string is decoded straight from the list's
// bytes into its field, with no copy of its own on the way.
class RecordReader {
  public:
    RecordReader(std::span<const std::uint8_t> bytes, std::size_t position)
        : m_data(bytes), m_position(position) {}

    // A zero-terminated string; a missing terminator damages the list.
    void string(CompactText& field) {
        const std::uint8_t* begin = m_data.data() + m_position;
        const std::size_t left = m_data.size() - m_position;
        const void* zero = left ? std::memchr(begin, 0, left) : nullptr;
        if (!zero) throw DamagedList{};
        std::size_t length =
            static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - begin);
        AssignWindows1252(field, {reinterpret_cast<const char*>(begin), length});
        m_position += length + 1;
    }

    // A little-endian 32-bit count; a negative or cut-off one damages the list.
    std::int32_t count() {
        if (m_data.size() - m_position < 4) throw DamagedList{};
        const std::uint8_t* at = m_data.data() + m_position;
        m_position += 4;
        auto value =
            static_cast<std::int32_t>(std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 |
                                      std::uint32_t{at[2]} << 16 | std::uint32_t{at[3]} << 24);
        if (value < 0) throw DamagedList{};
        return value;
    }

  private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_position;
};

void parseRecords(RecordReader& reader, UnitListContents& list) {
    std::int32_t unitCount = reader.count();
    std::int32_t weaponCount = reader.count();
    std::int32_t menuCount = reader.count();
    // Counts come from the file: reserved only as far as the bytes could hold them.
    list.units.reserve(static_cast<std::size_t>(std::min(unitCount, 4096)));
    for (std::int32_t i = 0; i < unitCount; ++i) {
        auto unit = std::make_unique<clsUnit>();
        for (CompactText clsUnit::*field :
             {&clsUnit::Filename, &clsUnit::Name, &clsUnit::Callname, &clsUnit::Description,
              &clsUnit::Class, &clsUnit::ID, &clsUnit::Side, &clsUnit::MaxDamage,
              &clsUnit::BuildTime, &clsUnit::CostEnergy, &clsUnit::CostMetal,
              &clsUnit::SightDistance, &clsUnit::RadarDistance, &clsUnit::SonarDistance}) {
            reader.string((*unit).*field);
        }
        for (std::int32_t k = reader.count(); k > 0; --k) {
            reader.string(unit->WeaponNames.emplace_back());
        }
        list.units.push_back(std::move(unit));
    }
    CompactText id;
    for (std::int32_t i = 0; i < weaponCount; ++i) {
        auto weapon = std::make_unique<clsWeapon>();
        reader.string(weapon->Filename);
        reader.string(weapon->Name);
        reader.string(id);
        auto number = LeadingInteger(id);
        if (!number) throw DamagedList{};
        weapon->ID = *number;
        list.weapons.push_back(std::move(weapon));
    }
    for (std::int32_t i = 0; i < menuCount; ++i) {
        auto entry = std::make_unique<clsMenuEntry>();
        reader.string(entry->BuilderUnit);
        reader.string(entry->Button);
        reader.string(entry->Menu);
        reader.string(entry->Unit);
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
        RecordReader records(bytes, reader.position());
        parseRecords(records, list);
    } catch (const DamagedList&) {
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
        for (const CompactText* field :
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

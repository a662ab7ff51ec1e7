#include "units/clsUnitArchive.h"

#include "archive/clsHPI.h"
#include "base/PlatformServices.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"
#include "catalogue/Catalogue.h"
#include "units/DefinitionDigest.h"
#include "units/DefinitionText.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"
#include "units/modGeneric.h"

namespace kloxmere {

DecodedFile::DecodedFile() = default;
DecodedFile::DecodedFile(DecodedFile&&) noexcept = default;
DecodedFile& DecodedFile::operator=(DecodedFile&&) noexcept = default;
DecodedFile::~DecodedFile() = default;

clsUnitArchive::clsUnitArchive() = default;
clsUnitArchive::~clsUnitArchive() = default;

std::optional<DefinitionKind> ClassifyListedFile(std::string_view path) {
    if (StartsWithNoCase(path, "units") && EndsWithNoCase(path, "fbi")) {
        return DefinitionKind::Unit;
    }
    if (StartsWithNoCase(path, "weapons") && EndsWithNoCase(path, "tdf")) {
        return DefinitionKind::Weapons;
    }
    if (StartsWithNoCase(path, "download") && EndsWithNoCase(path, "tdf")) {
        return DefinitionKind::Download;
    }
    return std::nullopt;
}

namespace {

void assignText(CompactText& field, std::string_view value) {
    field.assign(value);
}

// `assign(field, value)` stores a value as text of the program (UTF-8).
template <class Assign>
std::vector<std::unique_ptr<clsWeapon>> readWeapons(std::string_view text, Assign assign) {
    std::vector<std::unique_ptr<clsWeapon>> weapons;
    auto pending = std::make_unique<clsWeapon>();
    bool stopped = false;
    ForEachCleanedLine(text, [&](const CleanedLine& cleaned) {
        if (stopped) return;
        std::string_view line = cleaned.text;
        if (cleaned.hasCloseBrace && !pending->Name.empty()) {
            weapons.push_back(std::move(pending));
            pending = std::make_unique<clsWeapon>();
        }
        if (!line.empty() && line.front() == '[' && pending->Name.empty() &&
            cleaned.closeBracket != CleanedLine::npos) {
            assign(pending->Name, line.substr(1, cleaned.closeBracket - 1));
        }
        if (line.size() >= 2 && EqualsAsciiNoCase(line.substr(0, 2), "id")) {
            // The number stands between the first "=" (or the line's start) and the first ";".
            std::size_t start = cleaned.equals == CleanedLine::npos ? 0 : cleaned.equals + 1;
            std::size_t semicolon = cleaned.semicolon;
            std::optional<std::int32_t> id;
            if (semicolon != CleanedLine::npos && semicolon >= start) {
                id = LeadingInteger(line.substr(start, semicolon - start));
            }
            if (!id) {
                stopped = true;  // a malformed number line ends the file
                return;
            }
            pending->ID = *id;
        }
    });
    return weapons;
}

template <class Assign>
std::vector<std::unique_ptr<clsMenuEntry>> readMenuEntries(std::string_view text, Assign assign) {
    std::vector<std::unique_ptr<clsMenuEntry>> entries;
    std::unique_ptr<clsMenuEntry> open;
    ForEachCleanedLine(text, [&](const CleanedLine& line) {
        if (line.text == "{") {
            if (open) entries.push_back(std::move(open));
            open = std::make_unique<clsMenuEntry>();
            return;
        }
        if (!open) return;
        if (line.hasCloseBrace) {
            entries.push_back(std::move(open));
            return;
        }
        if (line.equals == CleanedLine::npos) return;
        DefinitionLine split = line.split();
        if (EqualsAsciiNoCase(split.key, "unitmenu")) {
            assign(open->BuilderUnit, split.value);
        } else if (EqualsAsciiNoCase(split.key, "menu")) {
            assign(open->Menu, split.value);
        } else if (EqualsAsciiNoCase(split.key, "button")) {
            assign(open->Button, split.value);
        } else if (EqualsAsciiNoCase(split.key, "unitname")) {
            assign(open->Unit, split.value);
        }
    });
    if (open) entries.push_back(std::move(open));  // a block the file never closed
    return entries;
}

}  // namespace

std::vector<std::unique_ptr<clsWeapon>> ReadWeaponDefinitions(std::string_view text) {
    return readWeapons(text, assignText);
}

std::vector<std::unique_ptr<clsWeapon>> ReadWeaponDefinitionsBytes(
    std::span<const std::uint8_t> bytes) {
    return readWeapons(AsChars(bytes), AssignWindows1252);
}

std::vector<std::unique_ptr<clsMenuEntry>> ReadMenuEntries(std::string_view text) {
    return readMenuEntries(text, assignText);
}

std::vector<std::unique_ptr<clsMenuEntry>> ReadMenuEntriesBytes(
    std::span<const std::uint8_t> bytes) {
    return readMenuEntries(AsChars(bytes), AssignWindows1252);
}

DecodedFile DecodeListedFile(clsHPI& hpi, const std::string& path, DefinitionKind kind,
                             std::uint64_t* fileHash) {
    auto bytes = hpi.ExtractToMemory(path);
    if (!bytes) return DecodeDefinitionBytes(std::nullopt, hpi, kind, fileHash);
    return DecodeDefinitionBytes(std::span<const std::uint8_t>(*bytes), hpi, kind, fileHash);
}

DecodedFile DecodeDefinitionBytes(std::optional<std::span<const std::uint8_t>> bytes, clsHPI& hpi,
                                  DefinitionKind kind, std::uint64_t* fileHash) {
    DecodedFile decoded;
    if (fileHash) *fileHash = HashDefinitionFile(bytes);
    if (!bytes) return decoded;
    decoded.extracted = true;
    if (kind == DefinitionKind::Unit) {
        decoded.unit = std::make_unique<clsUnit>();
        decoded.unit->HPI = &hpi;
        ReadUnitDefinitionBytes(*decoded.unit, *bytes);
    } else if (kind == DefinitionKind::Weapons) {
        decoded.weapons = ReadWeaponDefinitionsBytes(*bytes);
    } else {
        decoded.menuEntries = ReadMenuEntriesBytes(*bytes);
    }
    return decoded;
}

void clsUnitArchive::LoadFiles(Catalogue& catalogue, PlatformServices& services,
                               std::vector<std::optional<DecodedFile>>* prefetched) {
    for (std::size_t i = 0; i < HPI->Listing.size(); ++i) {
        const std::string& path = HPI->Listing[i];
        auto kind = ClassifyListedFile(path);
        if (!kind) continue;
        HashedName file(path);  // hashed once for the look-up and the listing
        if (catalogue.HoldsDefinitionFile(*kind, file)) continue;
        DecodedFile decoded;
        if (prefetched && i < prefetched->size() && (*prefetched)[i]) {
            decoded = std::move(*(*prefetched)[i]);
            (*prefetched)[i].reset();
        } else {
            decoded = DecodeListedFile(*HPI, path, *kind);
        }
        mergeFile(file, *kind, std::move(decoded), catalogue, services);
    }
}

void clsUnitArchive::addMenuEntries(std::vector<std::unique_ptr<clsMenuEntry>> entries,
                                    Catalogue& catalogue) {
    for (auto& entry : entries) {
        catalogue.AddMenuEntry(*entry);  // a taken key leaves the entry to the archive alone
        MenuEntries.push_back(std::move(entry));
    }
}

void clsUnitArchive::mergeFile(const HashedName& path, DefinitionKind kind, DecodedFile decoded,
                               Catalogue& catalogue, PlatformServices& services) {
    // A file that cannot be extracted contributes nothing: a unit is dropped,
    // a weapon or download file is passed over.
    if (!decoded.extracted) return;
    switch (kind) {
        case DefinitionKind::Unit: {
            clsUnit& unit = *decoded.unit;
            unit.HPI = HPI.get();
            unit.Group = this;
            unit.Filename = path.text;
            Units.push_back(std::move(decoded.unit));
            catalogue.AddUnit(unit, path);
            services.SetProgressStatus("Finding units... " + unit.Name);
            services.RefreshForm();
            break;
        }
        case DefinitionKind::Weapons:
            for (auto& weapon : decoded.weapons) {
                weapon->HPI = HPI.get();
                weapon->Filename = path.text;
                services.SetProgressStatus("Finding weapons... " + weapon->Name);
                services.RefreshForm();
                // A name already catalogued keeps the weapon in this archive only.
                catalogue.AddWeapon(*weapon, path);
                Weapons.push_back(std::move(weapon));
            }
            break;
        case DefinitionKind::Download:
            addMenuEntries(std::move(decoded.menuEntries), catalogue);
            break;
    }
}

}  // namespace kloxmere

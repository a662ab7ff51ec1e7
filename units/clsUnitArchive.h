#pragma once

// What one archive contributes to the catalogue: its units, weapons and
// build-menu entries, read from the archive's definition files or from a
// fast-load list (.udf). The archive record owns these records; the global
// catalogue lists link to them.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

class Catalogue;
class DirectoryNames;
class PlatformServices;
class clsHPI;
class clsMenuEntry;
class clsUnit;
class clsWeapon;
struct HashedName;

// The kinds of listed files the loader reads.
enum class DefinitionKind { Unit, Weapons, Download };

// units\*.fbi, weapons\*.tdf or download\*.tdf (without regard to case); nullopt otherwise.
std::optional<DefinitionKind> ClassifyListedFile(std::string_view path);

// One listed file extracted and parsed, without touching the catalogue, so
// that archives can be decoded on several threads and merged in order.
struct DecodedFile {
    bool extracted = false;
    std::unique_ptr<clsUnit> unit;                           // a unit file
    std::vector<std::unique_ptr<clsWeapon>> weapons;         // a weapon file
    std::vector<std::unique_ptr<clsMenuEntry>> menuEntries;  // a download file

    DecodedFile();
    DecodedFile(DecodedFile&&) noexcept;
    DecodedFile& operator=(DecodedFile&&) noexcept;
    ~DecodedFile();
};

// Extracts `path` from the open archive `hpi` and parses it as `kind` (a unit
// as clsUnit::Load does). Touches no catalogue; safe on several threads.
// `fileHash`, when given, receives the file's digest (HashDefinitionFile).
DecodedFile DecodeListedFile(clsHPI& hpi, const std::string& path, DefinitionKind kind,
                             std::uint64_t* fileHash = nullptr);

// Parses the bytes of a listed file, as DecodeListedFile does once it has
// extracted them; nullopt stands for a file that could not be extracted.
DecodedFile DecodeDefinitionBytes(std::optional<std::span<const std::uint8_t>> bytes, clsHPI& hpi,
                                  DefinitionKind kind, std::uint64_t* fileHash = nullptr);

// The weapons of a weapon file's text, in file order. Each weapon is the first
// bracketed section after the previous weapon's end; it ends at the first line
// holding "}". Reading stops at a malformed "id" line.
std::vector<std::unique_ptr<clsWeapon>> ReadWeaponDefinitions(std::string_view text);
// The same from the file's own Windows-1252 bytes, as the archive holds them.
std::vector<std::unique_ptr<clsWeapon>> ReadWeaponDefinitionsBytes(
    std::span<const std::uint8_t> bytes);

// The build-menu entries of a download file's text: for each block between a
// "{" line and the next line holding "}", the keys UNITMENU, MENU, BUTTON and
// UNITNAME (any case, any order) give BuilderUnit, Menu, Button and Unit.
std::vector<std::unique_ptr<clsMenuEntry>> ReadMenuEntries(std::string_view text);
std::vector<std::unique_ptr<clsMenuEntry>> ReadMenuEntriesBytes(
    std::span<const std::uint8_t> bytes);

// A fast-load list read from memory. An empty archiveName means the list is
// damaged at its start; `damaged` that its records could not all be read (the
// record vectors are then empty).
struct UnitListContents {
    std::string archiveName;
    bool damaged = false;
    std::vector<std::unique_ptr<clsUnit>> units;
    std::vector<std::unique_ptr<clsWeapon>> weapons;
    std::vector<std::unique_ptr<clsMenuEntry>> menuEntries;

    UnitListContents();
    UnitListContents(UnitListContents&&) noexcept;
    UnitListContents& operator=(UnitListContents&&) noexcept;
    ~UnitListContents();
};

UnitListContents ParseUnitList(std::span<const std::uint8_t> bytes);

class clsUnitArchive {
  public:
    clsUnitArchive();
    ~clsUnitArchive();
    clsUnitArchive(const clsUnitArchive&) = delete;
    clsUnitArchive& operator=(const clsUnitArchive&) = delete;

    std::unique_ptr<clsHPI> HPI;  // the archive these records came from
    std::vector<std::unique_ptr<clsUnit>> Units;
    std::vector<std::unique_ptr<clsWeapon>> Weapons;
    std::vector<std::unique_ptr<clsMenuEntry>> MenuEntries;
    // The digest of every definition file the archive holds (also those an
    // earlier archive hides); nullopt when it holds none. The scan digests the
    // archives it reads; one that a fast-load list stands for is digested only
    // when a fingerprint asks for it, so that lists still spare the scan from
    // opening their archives.
    std::optional<std::uint64_t> DefinitionsHash;
    bool DefinitionsDigested = false;

    // Loads every definition file of HPI's Listing (opened and listed by the
    // caller) into this record and the global lists of `catalogue`: the first
    // archive to bring a unit or weapon file path wins. `prefetched`, when
    // given, holds the files already decoded, by Listing position (empty
    // slots are decoded here).
    void LoadFiles(Catalogue& catalogue, PlatformServices& services,
                   std::vector<std::optional<DecodedFile>>* prefetched = nullptr);

    // Writes this archive's fast-load list to `path`. A failure leaves any
    // earlier file at `path` as it was and is reported in a message box.
    bool SaveList(const std::string& path, PlatformServices& services) const;

    // Fills this (empty) record and the catalogue from the fast-load list at
    // `path`, for the archive of that name in `taDirectory` (its enabled or
    // disabled form). False when the list is not used: its archive is not in
    // the TA directory (the list stays), or the list is damaged (it is deleted).
    bool LoadList(const std::string& path, Catalogue& catalogue, const std::string& taDirectory);
    // The same with the TA directory's files listed once, for loading many lists.
    bool LoadList(const std::string& path, Catalogue& catalogue, const DirectoryNames& taFiles);

  private:
    void mergeFile(const HashedName& path, DefinitionKind kind, DecodedFile decoded,
                   Catalogue& catalogue, PlatformServices& services);
    void addMenuEntries(std::vector<std::unique_ptr<clsMenuEntry>> entries, Catalogue& catalogue);
};

}  // namespace kloxmere

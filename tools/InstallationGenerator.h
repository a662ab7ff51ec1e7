#pragma once

// Writes invented TA installations of a chosen size for tests and benchmarks,
// shaped like the collections of players who run hundreds to thousands of
// add-ons: a few large game archives (*.hpi, *.ccx; LZ77 with an archive
// key) holding many units, many small add-ons (*.ufo; zlib, no key) of 1 to
// 10 units, map packs without units, build-menu patches, weapon packs, and
// some disabled archives (*.xufo, one *.xccx). Unit, weapon and menu names
// repeat between archives, some unit and weapon file paths recur in later
// archives (where the first archive loaded wins), weapon numbers collide and
// build-menu buttons are shared, at rates seen in real collections.
//
// The same tier and seed give the same bytes (with the same generator version).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kloxmere::tools {

// Changes whenever the same tier and seed would give different files.
inline constexpr int kGeneratorVersion = 2;

// What a scan of the generated installation catalogues.
struct InstallationTier {
    std::string name;               // "M", "L", "XL" or a custom tier's name
    std::uint64_t archives = 0;     // archive files in the directory
    std::uint64_t units = 0;        // UnitList after a scan
    std::uint64_t weapons = 0;      // WeaponList after a scan (distinct names)
    std::uint64_t menuEntries = 0;  // MenuEntryList after a scan (distinct entries)
};

InstallationTier TierM();   // 300 archives, 1,000 units, 1,200 weapons, 1,400 entries
InstallationTier TierL();   // 2,000 archives, 6,300 units, 8,000 weapons, 9,000 entries
InstallationTier TierXL();  // 3,000 archives, 20,000 units, 20,000 weapons, 40,000 entries
// "M", "L" or "XL" in any case; nullopt otherwise.
std::optional<InstallationTier> TierNamed(std::string_view name);

struct GeneratorOptions {
    unsigned threads = 0;  // archives written at once; 0: one per processor core
};

// What was written, beyond the tier's catalogue counts.
struct GeneratedInstallation {
    InstallationTier tier;
    std::uint64_t seed = 0;
    std::uint64_t generatorVersion = kGeneratorVersion;

    std::uint64_t archives = 0;
    std::uint64_t disabledArchives = 0;  // x forms
    std::uint64_t cataloguedArchives =
        0;  // with a unit, weapon or download file: ArchiveList's count
    std::uint64_t units = 0, weapons = 0, menuEntries = 0;  // a scan's catalogue counts
    std::uint64_t unitFiles = 0;                            // every unit definition written
    std::uint64_t shadowedUnitFiles = 0;  // later copies of an earlier archive's path
    std::uint64_t weaponFiles = 0, shadowedWeaponFiles = 0;
    std::uint64_t weaponSections = 0;  // every weapon written, repeated names included
    std::uint64_t downloadFiles = 0;
    std::uint64_t menuEntriesWritten = 0;  // repeated entries included
    std::uint64_t sharedMenuSlots = 0;     // entries placed on a button another entry holds
    std::uint64_t archiveBytes = 0;        // on disk
    std::uint64_t contentBytes = 0;        // decompressed
    // Headers, directory blocks, and the data (chunk tables and chunks) of
    // every unit, weapon and download file: all a scan needs to read.
    std::uint64_t definitionBytes = 0;
};

// Writes the installation into `directory`, which is made when missing and
// must hold nothing yet (std::runtime_error otherwise, so that no file is
// ever replaced). Throws std::runtime_error when writing fails.
GeneratedInstallation GenerateInstallation(const std::filesystem::path& directory,
                                           const InstallationTier& tier, std::uint64_t seed,
                                           const GeneratorOptions& options = {});

// The summary as "key=value" lines, and back (nullopt when a field is
// missing or malformed), so that a benchmark can tell whether data it
// generated earlier is still what it would generate now.
std::string FormatGeneratedInstallation(const GeneratedInstallation& installation);
std::optional<GeneratedInstallation> ParseGeneratedInstallation(std::string_view text);

// Reads `text` as a whole unsigned decimal number, as the summary's values and
// the numeric options of the generator and the benchmarks are written. False,
// and `out` unchanged, for anything else: a sign, a space, a trailing
// character, a value beyond 64 bits.
bool ParseNumber(std::string_view text, std::uint64_t& out);

}  // namespace kloxmere::tools

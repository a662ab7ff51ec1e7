#pragma once

// What each archive yielded at the last scan, kept in the user data directory
// so that the next start reads only the archives that changed. An archive is
// recognised by what identifies its bytes without reading them: its name in
// the enabled form (switching it on or off keeps its entry), its size, its
// modification time to the nanosecond and its device and inode (on Windows
// the volume's serial number and the file's index).
//
// The file, "scancache.dat", all numbers little-endian:
//   header   8 bytes "KLXSCAN\0", u32 format version, u32 entry count,
//            i64 the recording scan's start (ns since the epoch),
//            3 u32 its catalogue's unit, weapon and menu-entry counts,
//            u64 digest: HashBytes chained over each entry's head (up to
//            its yield length) and yield, each seeded with the digest so far
//   entry    str name, u64 size, i64 modified (ns), u64 device, u64 inode,
//            u32 yield length, the yield (see EncodeArchiveYield)
//   str      u32 length, then the bytes (UTF-8)
// A file that is short, of another version or fails its digest is ignored as
// a whole; the scan then reads every archive and writes the file anew.
//
// File times are kept only to the tick of the file system's clock, so an
// archive rewritten with the same size within one tick of the scan that
// recorded it would look unchanged. Entries whose time is not clearly older
// than that scan's start are therefore not trusted: such an archive is read
// again (and recorded again) until it has aged.

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/FileBytes.h"
#include "units/clsUnitArchive.h"

namespace kloxmere {

// What identifies an archive's bytes without reading them.
struct ArchiveIdentity {
    std::string name;  // the file name in its enabled form
    std::uint64_t size = 0;
    // Modification time in nanoseconds (Linux: since 1970; Windows: since 1601).
    std::int64_t modified = 0;
    std::uint64_t device = 0;  // Windows: the volume's serial number
    std::uint64_t inode = 0;   // Windows: the file's index on its volume

    bool operator==(const ArchiveIdentity&) const = default;
};

// The identity of the archive at `path`; nullopt when it cannot be examined.
std::optional<ArchiveIdentity> IdentifyArchive(const std::string& path);

// The directory a scan's archives lie in. On POSIX it is held open, so that
// examining an archive looks its name up there alone instead of walking its
// whole path again (a warm start examines every archive and reads little else).
class ArchiveDirectory {
  public:
    // `directory` ends in a separator.
    explicit ArchiveDirectory(std::string directory);
    ~ArchiveDirectory();
    ArchiveDirectory(const ArchiveDirectory&) = delete;
    ArchiveDirectory& operator=(const ArchiveDirectory&) = delete;

    // IdentifyArchive(path); a path outside the directory is examined whole.
    std::optional<ArchiveIdentity> identify(const std::string& path) const;

  private:
    std::string m_directory;
    int m_handle = -1;
};

// What one archive yielded: its Listing, each definition file's digest and
// decoded records, by Listing position (other positions stay empty).
struct ArchiveYield {
    std::vector<std::string> listing;
    std::vector<std::optional<DecodedFile>> decoded;
    std::vector<std::uint64_t> fileHashes;
};

// The yield as bytes. Every definition file of `listing` must be decoded
// (also those an earlier archive hides), so that the yield serves whatever
// the archives around it become.
//   u32 listing count; for each entry: str path, then for a definition
//   file only: u64 digest, u8 extracted (0/1), and when extracted
//     unit:    13 str (Name, Callname, Description, Class, ID, Side,
//              MaxDamage, BuildTime, CostEnergy, CostMetal, SightDistance,
//              RadarDistance, SonarDistance), u32 n, n str weapon names
//     weapons: u32 n, n times (str Name, i32 ID)
//     menu:    u32 n, n times 4 str (BuilderUnit, Menu, Button, Unit)
std::vector<std::uint8_t> EncodeArchiveYield(const std::vector<std::string>& listing,
                                             const std::vector<std::optional<DecodedFile>>& decoded,
                                             const std::vector<std::uint64_t>& fileHashes);
// Throws TruncatedError on a yield that does not read to its end. With
// `wanted`, only the definition files it accepts get their records (the
// others keep their digest and an empty slot).
using WantedFile = std::function<bool(DefinitionKind, const std::string&)>;
ArchiveYield DecodeArchiveYield(std::span<const std::uint8_t> bytes, const WantedFile& wanted = {});

class ScanCache {
  public:
    static constexpr const char* kFileName = "scancache.dat";
    static constexpr std::uint32_t kFormatVersion = 1;
    // How much older than the recording scan an archive must be to be trusted.
    static constexpr std::int64_t kSettleNanoseconds = 3'000'000'000;

    // An empty cache: every archive is read.
    ScanCache() = default;
    // Reads the cache of `userDataDirectory` (ending in a separator); a
    // missing, damaged or other-version file gives an empty cache.
    static ScanCache Load(const std::string& userDataDirectory);
    // The same from the file's bytes.
    static ScanCache FromBytes(std::vector<std::uint8_t> bytes);

    // The trusted yield recorded for an archive of exactly this identity.
    std::optional<std::span<const std::uint8_t>> find(const ArchiveIdentity& identity) const;
    std::size_t size() const { return m_entries.size(); }
    // The sizes of the recording scan's unit, weapon and menu-entry lists.
    const std::array<std::uint32_t, 3>& catalogueSizes() const { return m_catalogueSizes; }
    // Tells the cache that a yield found in it has been taken: its memory may
    // go (the bytes stay readable, from the file again should a writer keep them).
    void letGo(std::span<const std::uint8_t> yield) const { m_storage.letGo(yield); }

  private:
    struct Entry {
        ArchiveIdentity identity;
        std::span<const std::uint8_t> yield;
    };
    static ScanCache fromStorage(FileBytes storage);

    FileBytes m_storage;  // the file
    std::int64_t m_recorded = 0;
    std::array<std::uint32_t, 3> m_catalogueSizes{};
    std::unordered_multimap<std::string, Entry> m_entries;  // by name
};

// Writes the next cache file: the archives of this scan only, so the entries
// of archives no longer present fall away. Entries are written to a temporary
// file as they come, from the first newly read archive on, so that a scan
// never holds every archive's yield at once; until then only the entries
// taken over are noted (views of the previous cache, no copies), and a scan
// that read nothing new writes nothing unless entries fell away.
class ScanCacheWriter {
  public:
    // `scanStarted`: when the scan that reads the archives began (ns since the
    // epoch); the file goes to `userDataDirectory` (ending in a separator).
    ScanCacheWriter(std::int64_t scanStarted, std::string userDataDirectory);
    // An unfinished temporary file is removed.
    ~ScanCacheWriter();
    ScanCacheWriter(const ScanCacheWriter&) = delete;
    ScanCacheWriter& operator=(const ScanCacheWriter&) = delete;

    // An entry taken over from `previous` (which must outlive the writer).
    void keep(ArchiveIdentity identity, std::span<const std::uint8_t> yield);
    // A newly read archive's entry, written out at once.
    void add(const ArchiveIdentity& identity, std::span<const std::uint8_t> yield);
    // The sizes of this scan's unit, weapon and menu-entry lists, so that the
    // next scan can make room for them at once.
    void setCatalogueSizes(const std::array<std::uint32_t, 3>& sizes) { m_catalogueSizes = sizes; }

    // Whether the file would differ from `previous`: an entry was read anew
    // or one of `previous` fell away.
    bool differsFrom(const ScanCache& previous) const;

    // Finishes the file and puts it in place atomically (a unique temporary
    // name, then a rename), so that two programs writing at once each leave
    // a whole file. Throws FileError, leaving any earlier file as it was.
    void write();

  private:
    struct Kept {
        ArchiveIdentity identity;
        std::span<const std::uint8_t> yield;
    };
    std::vector<std::uint8_t> header(std::uint64_t digest) const;
    // Opens the temporary file and writes the entries noted so far.
    void startFile();
    void emit(const ArchiveIdentity& identity, std::span<const std::uint8_t> yield);
    void put(std::span<const std::uint8_t> part);
    void discardFile();

    std::int64_t m_scanStarted;
    std::string m_directory;
    std::array<std::uint32_t, 3> m_catalogueSizes{};
    std::vector<Kept> m_noted;  // entries not written yet (before the file is started)
    std::size_t m_count = 0;    // entries in all
    std::size_t m_added = 0;
    std::filesystem::path m_temp;
    std::ofstream m_out;
    bool m_started = false, m_finished = false;
    std::uint64_t m_digest = 0;  // of the entries written so far
};

// Now, in nanoseconds on the scale of ArchiveIdentity::modified.
std::int64_t FileClockNow();

}  // namespace kloxmere

#include "app/ScanInstallation.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "app/ArchivePipeline.h"
#include "app/ScanCache.h"
#include "app/Session.h"
#include "archive/clsHPI.h"
#include "base/ByteStream.h"
#include "base/Environment.h"
#include "base/FileSystem.h"
#include "base/ProgramHeap.h"
#include "base/TextCase.h"
#include "catalogue/MenuConflicts.h"
#include "catalogue/SideGroups.h"
#include "catalogue/WeaponConflicts.h"
#include "units/ArchiveNames.h"
#include "units/DefinitionDigest.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::string>& kListedDirectories = kDefinitionDirectories;

// Up to this many archives to read, a scan with a cache stays on one thread.
constexpr std::size_t kFewToRead = 64;

class NoUnitsFound : public std::runtime_error {
  public:
    NoUnitsFound() : std::runtime_error("No units were found in the TA directory.") {}
};

// Adds the time from construction to destruction to `slot`, when there is one.
class PhaseTimer {
  public:
    explicit PhaseTimer(ScanTimings::Duration* slot) : m_slot(slot), m_start(Clock::now()) {}
    ~PhaseTimer() {
        if (m_slot) *m_slot += Clock::now() - m_start;
    }

  private:
    ScanTimings::Duration* m_slot;
    Clock::time_point m_start;
};

ScanTimings::Duration* slot(ScanTimings* timings, ScanTimings::Duration ScanTimings::*member) {
    return timings ? &(timings->*member) : nullptr;
}

class Scan {
  public:
    Scan(Session& session, const ScanOptions& options)
        : m_session(session),
          m_catalogue(session.catalogue),
          m_services(session.services),
          m_timings(options.timings),
          m_threads(options.threads != 0 ? options.threads
                                         : std::max(1u, std::thread::hardware_concurrency())),
          m_useCache(options.useCache),
          m_cacheCounts(options.cacheCounts) {}

    void run() {
        PhaseTimer total(slot(m_timings, &ScanTimings::total));
        m_services.SetBusy(true);
        m_services.RefreshForm();
        m_services.ShowProgress("Scanning TA installation");
        m_services.SetProgressStatus("Loading saved unit lists...");
        m_services.RefreshForm();

        loadSavedLists();
        std::vector<std::string> archives = findArchives();
        std::size_t toRead = archives.size();
        if (m_useCache) toRead = prepareCache(archives);
        {
            PhaseTimer timer(slot(m_timings, &ScanTimings::readingArchives));
            // Archives taken from the cache cost the merge little more than
            // its own work: a warm start runs on this thread alone, and the
            // workers only pay off when there is enough to read.
            if (m_threads > 1 && toRead > kFewToRead && archives.size() > 1) {
                loadArchivesInParallel(archives);
            } else {
                for (std::size_t i = 0; i < archives.size(); ++i) loadArchive(archives, i);
            }
        }
        writeCache();

        {
            PhaseTimer timer(slot(m_timings, &ScanTimings::attachingWeapons));
            for (clsUnit* unit : m_catalogue.UnitList) unit->AttachWeapons(m_catalogue.WeaponList);
        }
        m_services.SetProgressStatus("Finding weapon conflicts...");
        {
            PhaseTimer timer(slot(m_timings, &ScanTimings::weaponConflicts));
            FindWeaponConflicts(m_catalogue, m_services, true);
        }
        m_services.SetProgressStatus("Finding build menu conflicts...");
        {
            PhaseTimer timer(slot(m_timings, &ScanTimings::menuConflicts));
            FindMenuConflicts(m_catalogue, m_services);
        }
        {
            PhaseTimer timer(slot(m_timings, &ScanTimings::sideGrouping));
            BuildSideList(m_catalogue);
        }
        if (m_catalogue.UnitList.empty()) throw NoUnitsFound();
        m_catalogue.CurrentUnit = m_catalogue.UnitList.Item(1);
        m_services.HideProgress();
        m_services.SetBusy(false);
    }

  private:
    void loadSavedLists() {
        PhaseTimer timer(slot(m_timings, &ScanTimings::loadingLists));
        std::string directory = m_session.userDataDirectory;
        std::vector<std::string> lists;
        FindFiles(directory, lists, "*.udf");
        if (lists.empty()) return;
        // The TA directory is listed once for all the lists, not looked up for each.
        const DirectoryNames& taFiles = taDirectoryFiles();
        for (const auto& list : lists) {
            clsUnitArchive& archive = m_catalogue.NewArchive();
            if (archive.LoadList(list, m_catalogue, taFiles)) {
                addToArchiveList(archive);
                m_listed.emplace(FileTitle(archive.HPI->Filename), &archive);
            }
        }
    }

    // Loads the cache, makes room in the catalogue for what it last held,
    // and looks each archive up in it; returns how many must be read.
    std::size_t prepareCache(const std::vector<std::string>& archives) {
        m_cache = ScanCache::Load(m_session.userDataDirectory);
        m_writer.emplace(FileClockNow(), m_session.userDataDirectory);
        const auto& sizes = m_cache.catalogueSizes();
        m_catalogue.UnitList.reserve(m_catalogue.UnitList.Count() + sizes[0]);
        m_catalogue.WeaponList.reserve(m_catalogue.WeaponList.Count() + sizes[1]);
        m_catalogue.MenuEntryList.reserve(m_catalogue.MenuEntryList.Count() + sizes[2]);
        std::size_t toRead = 0;
        const ArchiveDirectory directory(taDirectoryFiles().directory());
        m_examined.resize(archives.size());
        for (std::size_t i = 0; i < archives.size(); ++i) {
            if (m_titles.count(FileTitle(archives[i]))) continue;  // a saved list covers it
            auto& examined = m_examined[i];
            examined.identity = directory.identify(archives[i]);
            if (examined.identity) examined.cachedYield = m_cache.find(*examined.identity);
            if (!examined.cachedYield) ++toRead;
        }
        return toRead;
    }

    std::vector<std::string> findArchives() {
        PhaseTimer timer(slot(m_timings, &ScanTimings::findingArchives));
        return FindArchiveFiles(taDirectoryFiles());
    }

    // The TA directory's files, listed once for the saved lists and the
    // archives: loading the lists renames nothing there.
    const DirectoryNames& taDirectoryFiles() {
        if (!m_taFiles) m_taFiles.emplace(LocateTADirectory(m_session));
        return *m_taFiles;
    }

    // One archive on the calling thread: open, list, decode, merge.
    void loadArchive(const std::vector<std::string>& archives, std::size_t index) {
        if (!reportArchive(archives, index)) {
            keepCovered(archives[index]);
            return;
        }
        ArchivePipeline::Archive archive;
        archive.path = archives[index];
        if (m_writer) {
            const auto& examined = m_examined[index];
            // Only the files the merge will take get their records.
            auto wanted = [this](DefinitionKind kind, const std::string& path) {
                return !m_catalogue.HoldsDefinitionFile(kind, path);
            };
            if (examined.cachedYield &&
                ArchivePipeline::TakeYield(archive, *examined.cachedYield, wanted)) {
                merge(archive, index);
                return;
            }
        }
        archive.hpi = std::make_unique<clsHPI>();
        {
            PhaseTimer timer(slot(m_timings, &ScanTimings::openingAndListing));
            archive.hpi->LoadFile(archives[index]);
            archive.hpi->CreateListing(kListedDirectories);
        }
        archive.fileHashes.resize(archive.hpi->Listing.size());
        archive.decoded = decode(*archive.hpi, archive.fileHashes);
        merge(archive, index);
    }

    // Every archive opened, listed and decoded on worker threads, merged here in order.
    void loadArchivesInParallel(const std::vector<std::string>& archives) {
        std::vector<bool> covered(archives.size());
        for (std::size_t i = 0; i < archives.size(); ++i) {
            covered[i] = m_titles.count(FileTitle(archives[i])) != 0;
        }
        ArchivePipeline pipeline(archives, covered, m_catalogue, kListedDirectories, m_threads,
                                 m_writer ? &m_examined : nullptr);
        for (std::size_t i = 0; i < archives.size(); ++i) {
            ArchivePipeline::Archive& next = pipeline.next();
            if (next.error) std::rethrow_exception(next.error);
            if (!reportArchive(archives, i)) {
                if (next.hpi) next.hpi->CloseFile();
                if (next.covered) keepCovered(archives[i]);
                continue;
            }
            merge(next, i);
        }
    }

    // Shows the archive in the progress window; false when a saved list (or an
    // archive of the same name already catalogued) covers it.
    bool reportArchive(const std::vector<std::string>& archives, std::size_t index) {
        std::string title = FileTitle(archives[index]);
        m_services.SetProgressStatus("Finding files... " + title);
        m_services.Update(static_cast<std::int32_t>(index + 1),
                          static_cast<std::int32_t>(archives.size()));
        return m_titles.count(title) == 0;
    }

    // Adds an opened (or cached) and listed archive to the catalogue unless
    // it lists nothing; closes it either way (records reopen it by name).
    void merge(ArchivePipeline::Archive& read, std::size_t index) {
        record(read, index);
        // Decoded into records: the cache's copy is not read again unless written out.
        if (read.fromCache) m_cache.letGo(read.cachedYield);
        std::unique_ptr<clsHPI>& hpi = read.hpi;
        if (hpi->Listing.empty()) {
            hpi->CloseFile();
            return;
        }
        clsUnitArchive& archive = m_catalogue.NewArchive();
        archive.DefinitionsHash = CombineListedHashes(hpi->Listing, read.fileHashes);
        archive.DefinitionsDigested = true;
        archive.HPI = std::move(hpi);
        archive.LoadFiles(m_catalogue, m_services, &read.decoded);
        addToArchiveList(archive);
        archive.HPI->CloseFile();
        // Its records keep their paths; the listing is made again when the archive is reopened.
        archive.HPI->Listing = {};
        read.decoded = std::vector<std::optional<DecodedFile>>();
        read.fileHashes = std::vector<std::uint64_t>();
    }

    // Notes the archive's yield for the next cache, before the merge takes
    // its records. An archive that did not open is left out: it is tried again.
    void record(const ArchivePipeline::Archive& read, std::size_t index) {
        if (!m_writer) return;
        const auto& identity = m_examined[index].identity;
        if (!identity) return;
        if (read.fromCache) {
            if (m_cacheCounts) ++m_cacheCounts->fromCache;
            m_writer->keep(*identity, read.cachedYield);
            return;
        }
        if (m_cacheCounts) ++m_cacheCounts->read;
        if (read.hpi->Handle == 0) return;
        m_writer->add(*identity,
                      EncodeArchiveYield(read.hpi->Listing, read.decoded, read.fileHashes));
    }

    // A fast-load list stands for this archive: its cache entry, if still
    // valid, is kept for a start without the list, and gives the list's
    // archive its digest, so that the fingerprint need not open the archive.
    void keepCovered(const std::string& path) {
        if (!m_writer) return;
        auto identity = IdentifyArchive(path);
        if (!identity) return;
        auto yield = m_cache.find(*identity);
        if (!yield) return;
        m_writer->keep(std::move(*identity), *yield);
        digestListed(path, *yield);
    }

    void digestListed(const std::string& path, std::span<const std::uint8_t> yieldBytes) {
        auto listed = m_listed.find(FileTitle(path));
        if (listed == m_listed.end() || listed->second->DefinitionsDigested) return;
        try {
            ArchiveYield yield = DecodeArchiveYield(
                yieldBytes, [](DefinitionKind, const std::string&) { return false; });
            listed->second->DefinitionsHash = CombineListedHashes(yield.listing, yield.fileHashes);
            listed->second->DefinitionsDigested = true;
        } catch (const TruncatedError&) {
            // left to the fingerprint, which digests the archive itself
        }
    }

    void writeCache() {
        if (!m_writer) return;
        m_writer->setCatalogueSizes(
            {static_cast<std::uint32_t>(m_catalogue.UnitList.Count()),
             static_cast<std::uint32_t>(m_catalogue.WeaponList.Count()),
             static_cast<std::uint32_t>(m_catalogue.MenuEntryList.Count())});
        try {
            if (m_writer->differsFrom(m_cache)) m_writer->write();
        } catch (const FileError&) {
            // The cache only spares the next start some reading: a full user
            // data directory or a cache held open elsewhere costs that only.
        }
        m_writer.reset();
        m_cache = ScanCache();  // the catalogue holds copies of what it needed
        m_examined = {};
    }

    // Extracts and parses the archive's definition files that the catalogue
    // does not already hold (with a cache, all of them), by Listing position,
    // timing each kind; digests every definition file into `fileHashes`, the
    // held ones too.
    std::vector<std::optional<DecodedFile>> decode(clsHPI& hpi,
                                                   std::vector<std::uint64_t>& fileHashes) {
        std::vector<std::optional<DecodedFile>> decoded(hpi.Listing.size());
        for (std::size_t i = 0; i < hpi.Listing.size(); ++i) {
            const std::string& path = hpi.Listing[i];
            auto kind = ClassifyListedFile(path);
            if (!kind) continue;
            PhaseTimer timer(slot(
                m_timings, *kind == DefinitionKind::Unit      ? &ScanTimings::readingUnits
                           : *kind == DefinitionKind::Weapons ? &ScanTimings::readingWeapons
                                                              : &ScanTimings::readingDownloads));
            if (!m_writer && m_catalogue.HoldsDefinitionFile(*kind, path)) {
                fileHashes[i] = HashListedFile(hpi, path);
            } else {
                decoded[i] = DecodeListedFile(hpi, path, *kind, &fileHashes[i]);
            }
        }
        return decoded;
    }

    void addToArchiveList(clsUnitArchive& archive) {
        m_catalogue.ArchiveList.Add(&archive);
        m_titles.insert(FileTitle(archive.HPI->Filename));
    }

    Session& m_session;
    Catalogue& m_catalogue;
    PlatformServices& m_services;
    ScanTimings* m_timings;
    unsigned m_threads;
    bool m_useCache;
    ScanCacheCounts* m_cacheCounts;
    ScanCache m_cache;                        // what the last scan recorded
    std::optional<ScanCacheWriter> m_writer;  // what this one records (with the cache on)
    // By archive (with the cache on): its identity and its cached yield.
    std::vector<ArchivePipeline::Examined> m_examined;
    // File names of ArchiveList's archives, without regard to case.
    std::unordered_set<std::string, NoCaseHash, NoCaseEqual> m_titles;
    // The archives loaded from fast-load lists, by file name without regard to case.
    std::unordered_map<std::string, clsUnitArchive*, NoCaseHash, NoCaseEqual> m_listed;
    std::optional<DirectoryNames> m_taFiles;
};

}  // namespace

bool ScanCacheWanted() {
    std::string value = EnvironmentValue(kNoScanCacheVariable);
    return value.empty() || value == "0";
}

void ScanInstallation(Session& session, const ScanOptions& options) {
    PrepareThreadHeap();  // a window scans on a thread of its own
    try {
        Scan(session, options).run();
    } catch (const TADirectoryNotFound&) {
        session.services.HideProgress();
        session.services.SetBusy(false);
        throw;
    } catch (const std::exception& error) {
        // The scan's one handler: end the scan, keep what was catalogued, say why.
        session.services.HideProgress();
        session.services.SetBusy(false);
        session.services.ShowMessage(error.what(), kApplicationTitle, MessageIcon::None);
    }
}

}  // namespace kloxmere

#pragma once

// Opens, lists and decodes archives on worker threads, ahead of a consumer
// that takes them strictly in order. The consumer merges each archive into the
// catalogue itself, so the catalogue comes out exactly as a one-thread scan
// makes it; the workers only save it the waiting.
//
// Which definition files a worker decodes is decided on the consumer's thread,
// in archive order: a unit or weapon file path that an earlier archive lists
// (or the catalogue already holds) will be passed over by the merge, so it is
// not decoded. Should that guess miss (an earlier copy fails to load), the
// merge decodes the file itself.
//
// Every definition file is also digested for the enabled set's fingerprint:
// those decoded as they are extracted, the ones an earlier archive hides by
// extracting them only.
//
// With a scan cache, an archive it knows is taken from it instead of being
// opened, and every definition file of the others is decoded (the hidden
// ones too), so that their yield can be recorded whole.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "app/ScanCache.h"
#include "app/ScanReader.h"
#include "base/TextCase.h"
#include "units/clsUnitArchive.h"

namespace kloxmere {

class Catalogue;
class clsHPI;

class ArchivePipeline {
  public:
    struct Archive {
        std::string path;
        bool covered = false;                             // a saved list covers it: never opened
        std::unique_ptr<clsHPI> hpi;                      // opened and listed (not when covered)
        std::vector<std::optional<DecodedFile>> decoded;  // by Listing position
        std::vector<std::uint64_t> fileHashes;  // definition files' digests, by Listing position
        std::exception_ptr error;  // a failure on the worker, for the consumer to raise
        bool fromCache = false;    // hpi is listed from the cache, never opened
        std::span<const std::uint8_t> cachedYield;
        ScanArchive reading;  // what the workers read from; let go when the archive is taken
    };

    // An archive as the scan examined it before reading (with a cache): its
    // identity, and its yield when the cache holds it.
    struct Examined {
        std::optional<ArchiveIdentity> identity;
        std::optional<std::span<const std::uint8_t>> cachedYield;
    };

    // Fills `archive` from a cached yield; `wanted` as DecodeArchiveYield
    // takes it. False when the yield does not read.
    static bool TakeYield(Archive& archive, std::span<const std::uint8_t> yield,
                          const WantedFile& wanted = {});

    // `covered[i]` tells that archive i is covered by a saved list.
    // `catalogue` is read (on the consumer's thread only) to decide which files
    // are already catalogued. `listedDirectories` are the directories to list.
    // `examined`, with a cache, holds every archive as the scan examined it
    // (by position, as `paths`): its yield is taken instead of reading it.
    ArchivePipeline(std::vector<std::string> paths, std::vector<bool> covered,
                    const Catalogue& catalogue, std::vector<std::string> listedDirectories,
                    unsigned threads, const std::vector<Examined>* examined = nullptr,
                    std::size_t window = 64);
    ~ArchivePipeline();
    ArchivePipeline(const ArchivePipeline&) = delete;
    ArchivePipeline& operator=(const ArchivePipeline&) = delete;

    std::size_t size() const { return m_archives.size(); }

    // Waits for the next archive in order and hands it over; call exactly size() times.
    Archive& next();

  private:
    enum class Stage { Waiting, Listing, Listed, Decoding, Ready };
    struct Task {
        std::size_t index;
        bool decode;                     // false: open and list
        std::size_t begin = 0, end = 0;  // the batch of m_toDecode[index] to decode
    };

    // A big archive is decoded in batches of this many files, so that both
    // workers share it instead of one holding up the merge.
    static constexpr std::size_t kBatchSize = 32;

    void work();
    void runTask(const Task& task);
    void scheduleLocked();
    void decideLocked(std::size_t index);

    const Catalogue& m_catalogue;
    const std::vector<Examined>* m_examined;  // with a cache
    std::vector<std::string> m_listedDirectories;
    std::vector<Archive> m_archives;
    std::vector<Stage> m_stages;
    // By archive, in the order of their data; a file is only digested when
    // an earlier archive's copy wins.
    std::vector<std::vector<ScanFile>> m_toDecode;
    std::vector<std::size_t> m_batchesLeft;  // decode batches still running, by archive
    // Unit and weapon paths listed so far, by their HashNoCase alone: two
    // paths sharing a hash only make the guess miss, which the merge makes good.
    std::unordered_set<std::size_t> m_claimed;
    std::size_t m_window;
    std::size_t m_nextToList = 0, m_nextToDecide = 0, m_nextToTake = 0;

    std::mutex m_mutex;
    std::condition_variable m_workAvailable, m_progress;
    std::deque<Task> m_decodeTasks, m_listTasks;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

}  // namespace kloxmere

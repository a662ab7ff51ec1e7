#include "app/ArchivePipeline.h"

#include <algorithm>

#include "archive/clsHPI.h"
#include "base/ByteStream.h"
#include "base/ProgramHeap.h"
#include "base/TextCase.h"
#include "catalogue/Catalogue.h"

namespace kloxmere {

ArchivePipeline::ArchivePipeline(std::vector<std::string> paths, std::vector<bool> covered,
                                 const Catalogue& catalogue,
                                 std::vector<std::string> listedDirectories, unsigned threads,
                                 const std::vector<Examined>* examined, std::size_t window)
    : m_catalogue(catalogue),
      m_examined(examined),
      m_listedDirectories(std::move(listedDirectories)),
      m_archives(paths.size()),
      m_stages(paths.size(), Stage::Waiting),
      m_toDecode(paths.size()),
      m_batchesLeft(paths.size(), 0),
      m_window(window == 0 ? 1 : window) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        m_archives[i].path = std::move(paths[i]);
        m_archives[i].covered = i < covered.size() && covered[i];
        if (m_archives[i].covered) m_stages[i] = Stage::Ready;
    }
    if (threads == 0) threads = 1;
    for (unsigned t = 0; t < threads; ++t) m_workers.emplace_back([this] { work(); });
}

ArchivePipeline::~ArchivePipeline() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_decodeTasks.clear();
        m_listTasks.clear();
    }
    m_workAvailable.notify_all();
    for (auto& worker : m_workers) worker.join();
    // Archives opened but never taken (the consumer stopped early) are closed here.
    for (std::size_t i = m_nextToTake; i < m_archives.size(); ++i) {
        if (m_archives[i].hpi) m_archives[i].hpi->CloseFile();
    }
}

ArchivePipeline::Archive& ArchivePipeline::next() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        scheduleLocked();
        if (m_stages[m_nextToTake] == Stage::Ready) break;
        m_progress.wait(lock);
    }
    Archive& archive = m_archives[m_nextToTake++];
    archive.reading = {};  // the handle keeps the archive as long as the consumer needs it
    scheduleLocked();      // the window moved on
    return archive;
}

// Queues the listing of archives within the window and decides, in order,
// what to decode in each archive whose listing is in.
void ArchivePipeline::scheduleLocked() {
    bool queued = false;
    for (; m_nextToList < m_archives.size() && m_nextToList < m_nextToTake + m_window;
         ++m_nextToList) {
        if (m_stages[m_nextToList] != Stage::Waiting) continue;
        m_stages[m_nextToList] = Stage::Listing;
        m_listTasks.push_back({m_nextToList, false});
        queued = true;
    }
    for (; m_nextToDecide < m_archives.size(); ++m_nextToDecide) {
        Stage stage = m_stages[m_nextToDecide];
        if (stage == Stage::Ready) continue;  // covered, or failed while being listed
        if (stage != Stage::Listed) break;
        decideLocked(m_nextToDecide);
        if (m_toDecode[m_nextToDecide].empty()) {
            m_stages[m_nextToDecide] = Stage::Ready;
        } else {
            m_stages[m_nextToDecide] = Stage::Decoding;
            std::size_t files = m_toDecode[m_nextToDecide].size();
            for (std::size_t begin = 0; begin < files; begin += kBatchSize) {
                m_decodeTasks.push_back(
                    {m_nextToDecide, true, begin, std::min(files, begin + kBatchSize)});
                ++m_batchesLeft[m_nextToDecide];
            }
            queued = true;
        }
    }
    if (queued) m_workAvailable.notify_all();
}

void ArchivePipeline::decideLocked(std::size_t index) {
    Archive& archive = m_archives[index];
    if (!archive.hpi || archive.error) return;
    const auto& listing = archive.hpi->Listing;
    archive.decoded.resize(listing.size());
    archive.fileHashes.resize(listing.size());
    std::vector<std::size_t> claimedHere;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        auto kind = ClassifyListedFile(listing[i]);
        if (!kind) continue;
        bool hidden = false;
        if (*kind != DefinitionKind::Download) {
            HashedName path(listing[i]);
            hidden = m_claimed.count(path.hash) || m_catalogue.HoldsDefinitionFile(*kind, path);
            if (!hidden) claimedHere.push_back(path.hash);
        }
        if (archive.fromCache) continue;  // decoded already, every file
        // For the cache's record a hidden file is decoded as well.
        m_toDecode[index].push_back({i, !hidden || m_examined != nullptr});
    }
    // An archive's own duplicate paths are left to the merge to sort out.
    m_claimed.insert(claimedHere.begin(), claimedHere.end());
    if (archive.reading.archive) OrderByData(archive.reading, m_toDecode[index]);
}

bool ArchivePipeline::TakeYield(Archive& archive, std::span<const std::uint8_t> yieldBytes,
                                const WantedFile& wanted) {
    ArchiveYield yield;
    try {
        yield = DecodeArchiveYield(yieldBytes, wanted);
    } catch (const TruncatedError&) {
        return false;  // an entry that does not read: the archive is read instead
    }
    archive.hpi = std::make_unique<clsHPI>();
    archive.hpi->Filename = archive.path;
    archive.hpi->Listing = std::move(yield.listing);
    archive.decoded = std::move(yield.decoded);
    archive.fileHashes = std::move(yield.fileHashes);
    archive.fromCache = true;
    archive.cachedYield = yieldBytes;
    return true;
}

void ArchivePipeline::work() {
    PrepareThreadHeap();  // the records decoded here outlive the thread
    for (;;) {
        Task task;
        {
            std::unique_lock lock(m_mutex);
            m_workAvailable.wait(lock, [this] {
                return m_stopping || !m_decodeTasks.empty() || !m_listTasks.empty();
            });
            if (m_stopping) return;
            // Decoding first: it frees the archives the consumer waits for.
            auto& queue = m_decodeTasks.empty() ? m_listTasks : m_decodeTasks;
            task = queue.front();
            queue.pop_front();
        }
        runTask(task);
    }
}

void ArchivePipeline::runTask(const Task& task) {
    Archive& archive = m_archives[task.index];
    try {
        if (!task.decode) {
            const auto* yield = m_examined ? &(*m_examined)[task.index].cachedYield : nullptr;
            if (!yield || !*yield || !TakeYield(archive, **yield)) {
                archive.hpi = std::make_unique<clsHPI>();
                archive.reading = OpenForScan(*archive.hpi, archive.path, m_listedDirectories);
            }
        } else {
            std::span<const ScanFile> batch(m_toDecode[task.index]);
            ReadScanFiles(archive.reading, *archive.hpi,
                          batch.subspan(task.begin, task.end - task.begin), archive.decoded,
                          archive.fileHashes);
        }
    } catch (...) {
        // Carried to the consumer, which raises it where a one-thread scan would have.
        std::lock_guard lock(m_mutex);
        if (!archive.error) archive.error = std::current_exception();
    }
    {
        std::lock_guard lock(m_mutex);
        if (task.decode) {
            if (--m_batchesLeft[task.index] == 0) m_stages[task.index] = Stage::Ready;
        } else {
            m_stages[task.index] = archive.error ? Stage::Ready : Stage::Listed;
        }
    }
    m_progress.notify_all();
}

}  // namespace kloxmere

#pragma once

#include <chrono>
#include <cstddef>

namespace kloxmere {

class Session;

// Where a scan spent its time, for the benchmark. Decoding is split by kind
// only when the scan runs on one thread; with several, the archives' opening,
// listing and decoding overlap and count as `readingArchives`.
struct ScanTimings {
    using Duration = std::chrono::duration<double>;
    Duration loadingLists{}, findingArchives{}, openingAndListing{}, readingUnits{},
        readingWeapons{}, readingDownloads{}, readingArchives{}, attachingWeapons{},
        weaponConflicts{}, menuConflicts{}, sideGrouping{}, total{};
};

// How many archives a scan took from its cache and how many it read.
struct ScanCacheCounts {
    std::size_t fromCache = 0, read = 0;
};

struct ScanOptions {
    unsigned threads = 0;            // 0: one per processor core; 1: all on the calling thread
    ScanTimings* timings = nullptr;  // filled when given
    // Takes the archives that did not change from the cache of the user data
    // directory, and records what the scan read there for the next start.
    bool useCache = true;
    ScanCacheCounts* cacheCounts = nullptr;  // filled when given
};

// The environment variable that turns the scan cache off for the window.
inline constexpr const char* kNoScanCacheVariable = "KLOXMERE_NO_SCAN_CACHE";
// False when kNoScanCacheVariable is set to anything but "" or "0".
bool ScanCacheWanted();

// Builds the whole catalogue of the session's TA directory: the fast-load
// lists of the user data directory first, then every archive ("*.hpi",
// "*.xhpi", "*.ccx", "*.xccx", "*.ufo", "*.xufo", in this order) that no list
// covers (from the scan cache when it has not changed since it was recorded); then links weapons to
// units, finds the weapon and build-menu conflicts, groups the units by side, and makes the first
// unit current. Progress goes to the session's platform services. A failure ends the scan with a
// message box and keeps what was catalogued so far; only a cancelled TA directory picker
// (TADirectoryNotFound) passes to the caller.
void ScanInstallation(Session& session, const ScanOptions& options = {});

}  // namespace kloxmere

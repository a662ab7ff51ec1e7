#pragma once

#include <chrono>

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

struct ScanOptions {
    unsigned threads = 0;            // 0: one per processor core; 1: all on the calling thread
    ScanTimings* timings = nullptr;  // filled when given
};

// Builds the whole catalogue of the session's TA directory: the fast-load
// lists of the user data directory first, then every archive ("*.hpi",
// "*.xhpi", "*.ccx", "*.xccx", "*.ufo", "*.xufo", in this order) that no list
// covers; then links weapons to units, finds the weapon and build-menu
// conflicts, groups the units by side, and makes the first unit current.
// Progress goes to the session's platform services. A failure ends the scan
// with a message box and keeps what was catalogued so far; only a cancelled
// TA directory picker (TADirectoryNotFound) passes to the caller.
void ScanInstallation(Session& session, const ScanOptions& options = {});

}  // namespace kloxmere

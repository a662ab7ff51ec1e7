#pragma once

// The scan as a whole program against the least work any scan must do: a lean
// reader (a separate program, built beside the benchmark) that only opens each
// archive, reads its directory and decompresses the unit, weapon and download
// files, with no parsing and no catalogue. Both run as processes on the same
// number of threads, alternately, so that a busy machine slows both alike.

#include <string>
#include <vector>

#include "bench/PeakMemory.h"

namespace kloxmere::bench {

struct ProcessComparison {
    std::vector<ProgramRun> scan, floor;  // one per round, failed runs left out

    // Medians over the rounds.
    double scanSeconds() const;
    double floorSeconds() const;
    double scanCpuSeconds() const;
    double floorCpuSeconds() const;
    double scanPeakMegabytes() const;
};

// Runs `scanCommand` and `floorCommand` in turn, `rounds` times each (which
// one goes first alternates), after one unmeasured round that warms the
// page cache. `failure` receives the first failed run's description.
ProcessComparison CompareWithFloor(const std::vector<std::string>& scanCommand,
                                   const std::vector<std::string>& floorCommand, int rounds,
                                   std::string& failure);

}  // namespace kloxmere::bench

#pragma once

// Runs a program to its end and reports the most memory it held at once,
// its wall time and its processor time.
//
// Linux counts a child's peak from the moment it is forked, and a forked
// child starts as a copy of its parent: measured directly from a benchmark
// that holds a large catalogue, the figure would be the benchmark's size. So
// the program is started by a fresh copy of this executable (small again
// after its exec), which waits for it and reports its peak through a pipe.

#include <optional>
#include <string>
#include <vector>

namespace kloxmere::bench {

struct ProgramRun {
    int exitStatus = -1;  // the exit code, or -1 when the program was killed by a signal
    double peakResidentMegabytes = 0;
    double seconds = 0;
    double cpuSeconds = 0;  // processor time, user and system, of all its threads
};

// Starts `arguments[0]` with `arguments`, its output discarded, and waits for
// it. nullopt when it could not be started or measured.
std::optional<ProgramRun> RunAndMeasure(const std::vector<std::string>& arguments);

// The first argument that makes this executable the measuring copy.
inline constexpr const char* kMeasureFlag = "--measure-peak-memory-of";

// The measuring copy's main: runs argv[2...] and prints what RunAndMeasure reads.
int MeasuringCopyMain(int argc, char** argv);

}  // namespace kloxmere::bench

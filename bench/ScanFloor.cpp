#include "bench/ScanFloor.h"

#include <algorithm>
#include <functional>

namespace kloxmere::bench {

namespace {

double median(const std::vector<ProgramRun>& runs,
              const std::function<double(const ProgramRun&)>& of) {
    std::vector<double> values;
    for (const ProgramRun& run : runs) values.push_back(of(run));
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Runs `command` once; false (with `failure` filled when still empty) when it failed.
bool runOnce(const std::vector<std::string>& command, std::vector<ProgramRun>* into,
             std::string& failure) {
    std::optional<ProgramRun> run = RunAndMeasure(command);
    if (!run || run->exitStatus != 0) {
        if (failure.empty()) {
            failure = command.front() + (run ? " exited with " + std::to_string(run->exitStatus)
                                             : std::string(" could not be run"));
        }
        return false;
    }
    if (into) into->push_back(*run);
    return true;
}

}  // namespace

double ProcessComparison::scanSeconds() const {
    return median(scan, [](const ProgramRun& r) { return r.seconds; });
}
double ProcessComparison::floorSeconds() const {
    return median(floor, [](const ProgramRun& r) { return r.seconds; });
}
double ProcessComparison::scanCpuSeconds() const {
    return median(scan, [](const ProgramRun& r) { return r.cpuSeconds; });
}
double ProcessComparison::floorCpuSeconds() const {
    return median(floor, [](const ProgramRun& r) { return r.cpuSeconds; });
}
double ProcessComparison::scanPeakMegabytes() const {
    return median(scan, [](const ProgramRun& r) { return r.peakResidentMegabytes; });
}

ProcessComparison CompareWithFloor(const std::vector<std::string>& scanCommand,
                                   const std::vector<std::string>& floorCommand, int rounds,
                                   std::string& failure) {
    ProcessComparison result;
    runOnce(scanCommand, nullptr, failure);
    runOnce(floorCommand, nullptr, failure);
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            runOnce(scanCommand, &result.scan, failure);
            runOnce(floorCommand, &result.floor, failure);
        } else {
            runOnce(floorCommand, &result.floor, failure);
            runOnce(scanCommand, &result.scan, failure);
        }
    }
    return result;
}

}  // namespace kloxmere::bench

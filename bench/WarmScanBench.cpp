// The warm start against the lean floor, as whole processes on generated
// installations: `kloxmere-cli scan --no-cache` (every archive read), the
// same scan with its cache and nothing changed, and with 1 % of the archives
// changed (add-on archives rewritten with one byte changed in a file no
// catalogue reads, so each has a new time and new bytes). Runs are
// interleaved round by round; the table gives medians of wall time,
// processor time and peak memory.
//
//   kloxmere_bench_warm [--tier L,XL] [--reps N] [--seed N] [--data DIR]
//
// The installations are copies of the benchmark's generated one made of hard
// links (one for the changed runs alone), so that rewriting archives leaves
// the shared data and the other runs' installation alone.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "base/FileSystem.h"
#include "bench/BenchInstallation.h"
#include "bench/BenchTiming.h"
#include "bench/PeakMemory.h"
#include "tools/InstallationGenerator.h"
#include "units/clsUnitArchive.h"

using namespace kloxmere;
using namespace kloxmere::bench;
namespace fs = std::filesystem;

namespace {

struct Options {
    std::vector<tools::InstallationTier> tiers;
    int reps = 7;
    std::uint64_t seed = 1;
    fs::path data = KLOXMERE_BENCH_DATA_DIR;
    std::string cli = KLOXMERE_CLI_PATH;
    std::string floor = KLOXMERE_FLOOR_PATH;
};

// An archive to change, with two rewritten forms that differ from the
// original and from each other in one byte of a file no catalogue reads.
struct ChangedArchive {
    fs::path path;
    std::vector<std::uint8_t> forms[2];
};

std::vector<std::uint8_t> rewrittenWithByte(const fs::path& path, std::uint8_t value) {
    auto archive = HpiArchive::open(path);
    HpiWriter writer;
    bool changed = false;
    for (const HpiFileInfo& file : archive->listFiles()) {
        std::vector<std::uint8_t> bytes = archive->extract(file.path);
        if (!changed && !ClassifyListedFile(file.path) && !bytes.empty()) {
            bytes[bytes.size() / 2] = value;
            changed = true;
        }
        writer.addFile(file.path, std::move(bytes));
    }
    if (!changed) return {};
    return writer.build();
}

// The add-on archives spread over the load order, 1 % of all archives.
std::vector<ChangedArchive> chooseChanges(const fs::path& ta, std::size_t archives) {
    std::vector<fs::path> addOns;
    for (const auto& entry : fs::directory_iterator(ta)) {
        if (entry.path().extension() == ".ufo") addOns.push_back(entry.path());
    }
    std::sort(addOns.begin(), addOns.end());
    std::size_t wanted = std::max<std::size_t>(1, archives / 100);
    std::vector<ChangedArchive> chosen;
    for (std::size_t i = 0; i < addOns.size() && chosen.size() < wanted; ++i) {
        const fs::path& path = addOns[i * addOns.size() / wanted % addOns.size()];
        if (std::any_of(chosen.begin(), chosen.end(),
                        [&](const ChangedArchive& c) { return c.path == path; }))
            continue;
        ChangedArchive change{path, {rewrittenWithByte(path, 0x5a), rewrittenWithByte(path, 0xa5)}};
        if (change.forms[0].empty()) continue;
        chosen.push_back(std::move(change));
    }
    return chosen;
}

// Writes each archive's next form beside it and renames it over the old.
void applyChanges(std::vector<ChangedArchive>& changes, int round) {
    for (ChangedArchive& change : changes)
        WriteFileAtomically(change.path, change.forms[round % 2]);
}

// A copy of `from` made of hard links (a plain copy where links fail).
void linkCopy(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        std::error_code error;
        fs::create_hard_link(entry.path(), to / entry.path().filename(), error);
        if (error) fs::copy_file(entry.path(), to / entry.path().filename());
    }
}

struct Series {
    std::vector<ProgramRun> runs;
    double median(double ProgramRun::*of) const {
        std::vector<double> values;
        for (const ProgramRun& run : runs) values.push_back(run.*of);
        return values.empty() ? 0 : Median(values);
    }
};

struct TierResult {
    std::string name;
    std::size_t archives = 0, changed = 0;
    Series cold, warm, changedRun, floor;
    std::vector<std::string> notes;
};

bool run(const std::vector<std::string>& command, Series& into, TierResult& result) {
    std::optional<ProgramRun> measured = RunAndMeasure(command);
    if (!measured || measured->exitStatus != 0) {
        result.notes.push_back(command.front() + " failed");
        return false;
    }
    into.runs.push_back(*measured);
    return true;
}

TierResult measure(const tools::InstallationTier& tier, const Options& options) {
    TierResult result;
    result.name = tier.name;
    std::fprintf(stderr, "[%s] preparing the installation...\n", tier.name.c_str());
    BenchInstallation installation = PrepareInstallation(options.data, tier, options.seed);
    // The changed runs rewrite archives of their own copy: the others see none of it.
    fs::path ta = installation.root / "warm-ta";
    fs::path changedTa = installation.root / "warm-ta-changed";
    linkCopy(installation.taDirectory, ta);
    linkCopy(installation.taDirectory, changedTa);
    // The cache trusts only archives clearly older than the scan that records them.
    if (installation.generated) std::this_thread::sleep_for(std::chrono::seconds(4));
    result.archives = static_cast<std::size_t>(
        std::distance(fs::directory_iterator(ta), fs::directory_iterator()));
    std::vector<ChangedArchive> changes = chooseChanges(changedTa, result.archives);
    result.changed = changes.size();

    fs::path coldHome = FreshDirectory(installation, "home-warm-cold");
    fs::path warmHome = FreshDirectory(installation, "home-warm");
    fs::path changedHome = FreshDirectory(installation, "home-warm-changed");
    auto cli = [&](const fs::path& home, bool cache, const fs::path& in) {
        std::vector<std::string> command{options.cli,        "--ta", Utf8FromPath(in), "--home",
                                         Utf8FromPath(home), "scan"};
        if (!cache) command.push_back("--no-cache");
        return command;
    };
    std::string threads = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::string> floorCommand{options.floor, "-j", threads, Utf8FromPath(ta)};

    std::fprintf(stderr, "[%s] %d interleaved rounds...\n", tier.name.c_str(), options.reps);
    // Unmeasured: the page cache warmed, both caches written.
    Series ignored;
    run(cli(coldHome, false, ta), ignored, result);
    run(cli(warmHome, true, ta), ignored, result);
    run(cli(changedHome, true, changedTa), ignored, result);
    run(floorCommand, ignored, result);
    for (int round = 0; round < options.reps; ++round) {
        std::vector<std::function<void()>> steps = {
            [&] { run(cli(coldHome, false, ta), result.cold, result); },
            [&] { run(cli(warmHome, true, ta), result.warm, result); },
            [&] {
                applyChanges(changes, round);
                run(cli(changedHome, true, changedTa), result.changedRun, result);
            },
            [&] { run(floorCommand, result.floor, result); },
        };
        std::rotate(steps.begin(), steps.begin() + round % steps.size(), steps.end());
        for (auto& step : steps) step();
    }
    return result;
}

std::string fixed(double value, int decimals = 1) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void print(const std::vector<TierResult>& results, const Options& options) {
    std::printf(
        "Warm-start benchmark: medians of %d interleaved rounds, %u hardware threads, "
        "seed %llu\n\n",
        options.reps, std::thread::hardware_concurrency(),
        static_cast<unsigned long long>(options.seed));
    for (const TierResult& r : results) {
        double floorWall = r.floor.median(&ProgramRun::seconds);
        double floorCpu = r.floor.median(&ProgramRun::cpuSeconds);
        std::printf("%s: %zu archives, %zu changed\n", r.name.c_str(), r.archives, r.changed);
        std::printf("  %-34s %9s %9s %10s %10s %9s\n", "", "wall ms", "cpu ms", "wall/floor",
                    "cpu/floor", "peak MB");
        auto row = [&](const char* label, const Series& s, const char* target) {
            double wall = s.median(&ProgramRun::seconds);
            double cpu = s.median(&ProgramRun::cpuSeconds);
            std::printf("  %-34s %9s %9s %10s %10s %9s  %s\n", label, fixed(wall * 1000).c_str(),
                        fixed(cpu * 1000).c_str(), fixed(wall / floorWall, 2).c_str(),
                        fixed(cpu / floorCpu, 2).c_str(),
                        fixed(s.median(&ProgramRun::peakResidentMegabytes)).c_str(), target);
        };
        row("kloxmere-cli scan --no-cache", r.cold, "target: wall <= 1.5, cpu <= 2, < 50 MB");
        row("kloxmere-cli scan, nothing changed", r.warm, "target: wall <= 0.4 (XL), < 50 MB");
        row("kloxmere-cli scan, 1 % changed", r.changedRun, "target: wall <= 0.5 (XL), < 50 MB");
        row("floor", r.floor, "");
        for (const std::string& note : r.notes) std::printf("  note: %s\n", note.c_str());
        std::printf("\n");
    }
}

int usage() {
    std::fprintf(stderr,
                 "usage: kloxmere_bench_warm [--tier L,XL] [--reps N] [--seed N] [--data DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == kMeasureFlag) return MeasuringCopyMain(argc, argv);
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (i + 1 >= argc) return usage();
        std::string_view value = argv[++i];
        std::uint64_t number = 0;
        if (arg == "--tier") {
            if (!ReadTierList(value, options.tiers)) return usage();
        } else if (arg == "--reps" && tools::ParseNumber(value, number) && number > 0) {
            options.reps = static_cast<int>(number);
        } else if (arg == "--seed" && tools::ParseNumber(value, number)) {
            options.seed = number;
        } else if (arg == "--data") {
            options.data = PathFromUtf8(value);
        } else {
            return usage();
        }
    }
    if (options.cli.empty() || !fs::exists(options.cli) || options.floor.empty() ||
        !fs::exists(options.floor)) {
        std::fprintf(stderr, "kloxmere-cli or the floor program was not built\n");
        return 1;
    }
    if (options.tiers.empty()) options.tiers = {tools::TierL(), tools::TierXL()};
    std::vector<TierResult> results;
    for (const tools::InstallationTier& tier : options.tiers)
        results.push_back(measure(tier, options));
    print(results, options);
    return 0;
}

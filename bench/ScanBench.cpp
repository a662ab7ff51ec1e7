// How fast a whole installation is scanned from scratch, and where the time
// goes, on generated installations of three sizes (see tools/InstallationGenerator.h):
// the scan's phases on one thread and its total on all cores, the same scan
// with every archive covered by a fast-load list, the bytes the scan reads
// against the bytes it needs, filling the Units and Conflicts tabs, and a
// whole `kloxmere-cli scan` (wall time, processor time, peak memory) against
// the floor: a lean reader that only opens the archives and decompresses
// their definition files, run on as many threads as the scan uses. Prints one
// table with the targets beside the figures.
//
//   kloxmere_bench_scan [--tier M,L,XL] [--reps N] [--seed N] [--data DIR] [--cli PATH]
//                       [--floor PATH]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "archive/HpiArchive.h"
#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "base/PlatformServices.h"
#include "bench/BenchInstallation.h"
#include "bench/BenchTiming.h"
#include "bench/PeakMemory.h"
#include "bench/ScanFloor.h"
#include "catalogue/ListRows.h"
#include "catalogue/ViewState.h"
#include "tools/InstallationGenerator.h"
#include "units/modGeneric.h"

namespace {

using namespace kloxmere;
using namespace kloxmere::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
    std::vector<tools::InstallationTier> tiers;
    int reps = 5;
    std::uint64_t seed = 1;
    fs::path data = KLOXMERE_BENCH_DATA_DIR;
    std::string cli = KLOXMERE_CLI_PATH;
    std::string floor = KLOXMERE_FLOOR_PATH;
};

double milliseconds(ScanTimings::Duration d) {
    return d.count() * 1000.0;
}

// One scan's session, kept while its catalogue is needed.
struct ScanRun {
    NullPlatformServices services;
    Session session;
    ScanTimings timings;

    ScanRun(const fs::path& ta, const fs::path& home)
        : session(services, Utf8FromPath(home) + "/", Utf8FromPath(home) + "/") {
        session.TADirectory = Utf8FromPath(ta) + "/";
    }
};

std::unique_ptr<ScanRun> scan(const fs::path& ta, const fs::path& home, unsigned threads) {
    auto run = std::make_unique<ScanRun>(ta, home);
    // Every archive read: the warm start has its own benchmark (WarmScanBench).
    ScanInstallation(run->session, ScanOptions{threads, &run->timings, false});
    return run;
}

// The median of `reps` scans' totals, as the scan times itself (so without
// the time to free the catalogue afterwards).
double medianScan(const fs::path& ta, const fs::path& home, unsigned threads, int reps) {
    std::vector<double> totals;
    for (int i = 0; i < reps; ++i)
        totals.push_back(milliseconds(scan(ta, home, threads)->timings.total));
    return bench::Median(totals);
}

using Phase = ScanTimings::Duration ScanTimings::*;
struct NamedPhase {
    const char* label;
    Phase phase;
};
constexpr NamedPhase kPhases[] = {
    {"  finding archives", &ScanTimings::findingArchives},
    {"  opening and listing", &ScanTimings::openingAndListing},
    {"  reading unit files", &ScanTimings::readingUnits},
    {"  reading weapon files", &ScanTimings::readingWeapons},
    {"  reading download files", &ScanTimings::readingDownloads},
    {"  AttachWeapons", &ScanTimings::attachingWeapons},
    {"  weapon conflicts", &ScanTimings::weaponConflicts},
    {"  menu conflicts", &ScanTimings::menuConflicts},
    {"  side grouping", &ScanTimings::sideGrouping},
    {"  total", &ScanTimings::total},
};

struct TierResult {
    tools::InstallationTier tier;
    BenchInstallation installation;
    std::size_t archives = 0, units = 0, weapons = 0, menuEntries = 0, menuConflicts = 0;
    std::vector<double> phases;  // medians, in kPhases order
    double scanCpu = 0;          // processor time: steadier than wall time on a busy machine
    double allCores = 0;
    std::uint64_t scanBytesRead = 0;
    double fastLoad = 0;
    std::uint64_t fastLoadBytesRead = 0;
    std::size_t fastLoadUnits = 0;
    double unitsFill = 0, conflictsFill = 0;
    std::size_t unitRows = 0, conflictRows = 0;
    std::optional<ProcessComparison> processes;  // kloxmere-cli scan against the floor
    std::vector<std::string> notes;

    double scanTotal() const { return phases.back(); }
    double phase(Phase p) const {
        for (std::size_t i = 0; i < std::size(kPhases); ++i) {
            if (kPhases[i].phase == p) return phases[i];
        }
        return 0;
    }
};

double cpuMilliseconds() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Times `fn` `reps` times; the median in milliseconds. `cpu`, when given,
// receives the median processor time of this process (meaningful only while
// it runs one thread).
double timeMedian(int reps, const std::function<void()>& fn, double* cpu = nullptr) {
    std::vector<double> times, cpuTimes;
    for (int i = 0; i < reps; ++i) {
        double cpuStart = cpuMilliseconds();
        auto start = Clock::now();
        fn();
        times.push_back(bench::Milliseconds(Clock::now() - start));
        cpuTimes.push_back(cpuMilliseconds() - cpuStart);
    }
    if (cpu) *cpu = bench::Median(cpuTimes);
    return bench::Median(times);
}

TierResult measure(const tools::InstallationTier& tier, const Options& options) {
    TierResult r;
    r.tier = tier;
    std::fprintf(stderr, "[%s] preparing the installation...\n", tier.name.c_str());
    r.installation = PrepareInstallation(options.data, tier, options.seed);
    const fs::path& ta = r.installation.taDirectory;
    const tools::GeneratedInstallation& made = r.installation.made;
    fs::path emptyHome = FreshDirectory(r.installation, "home-empty");

    std::fprintf(stderr, "[%s] full scans...\n", tier.name.c_str());
    // The first scan only warms the page cache and counts what it reads.
    ResetHpiBytesRead();
    std::unique_ptr<ScanRun> kept = scan(ta, emptyHome, 1);
    r.scanBytesRead = HpiBytesRead();
    const Catalogue& c = kept->session.catalogue;
    r.archives = c.ArchiveList.Count();
    r.units = c.UnitList.Count();
    r.weapons = c.WeaponList.Count();
    r.menuEntries = c.MenuEntryList.Count();
    r.menuConflicts = c.MenuConflictList.size();
    if (r.units != made.units || r.weapons != made.weapons || r.menuEntries != made.menuEntries ||
        r.archives != made.cataloguedArchives) {
        r.notes.push_back(
            "the scan's counts differ from the generator's: " + std::to_string(r.archives) +
            " archives, " + std::to_string(r.units) + " units, " + std::to_string(r.weapons) +
            " weapons, " + std::to_string(r.menuEntries) + " menu entries");
    }

    std::vector<std::vector<double>> phaseTimes(std::size(kPhases));
    std::vector<double> cpuTimes;
    for (int i = 0; i < options.reps; ++i) {
        double cpuStart = cpuMilliseconds();
        std::unique_ptr<ScanRun> run = scan(ta, emptyHome, 1);
        cpuTimes.push_back(cpuMilliseconds() - cpuStart);
        for (std::size_t p = 0; p < std::size(kPhases); ++p)
            phaseTimes[p].push_back(milliseconds(run->timings.*kPhases[p].phase));
    }
    for (const auto& times : phaseTimes) r.phases.push_back(bench::Median(times));
    r.scanCpu = bench::Median(cpuTimes);
    r.allCores = medianScan(ta, emptyHome, 0, options.reps);

    std::fprintf(stderr, "[%s] list fills...\n", tier.name.c_str());
    NullPlatformServices services;
    ViewState unitsView;  // the Units tab with the units root selected
    ViewState conflictsView;
    conflictsView.CurrentTab = kConflictsTab;
    r.unitsFill =
        timeMedian(options.reps, [&] { r.unitRows = FillUnitList(c, unitsView, services).size(); });
    r.conflictsFill = timeMedian(
        options.reps, [&] { r.conflictRows = FillUnitList(c, conflictsView, services).size(); });

    std::fprintf(stderr, "[%s] fast-load lists...\n", tier.name.c_str());
    fs::path listHome = FreshDirectory(r.installation, "home-fastload");
    for (const clsUnitArchive* archive : c.ArchiveList) {
        std::string list =
            Utf8FromPath(listHome) + "/" + FileTitle(archive->HPI->Filename) + ".udf";
        archive->SaveList(list, services);
    }
    kept.reset();
    ResetHpiBytesRead();
    std::unique_ptr<ScanRun> listed = scan(ta, listHome, 1);
    r.fastLoadBytesRead = HpiBytesRead();
    r.fastLoadUnits = listed->session.catalogue.UnitList.Count();
    if (r.fastLoadUnits != r.units) {
        r.notes.push_back("the fast-load scan catalogued " + std::to_string(r.fastLoadUnits) +
                          " units, the full scan " + std::to_string(r.units));
    }
    listed.reset();
    r.fastLoad = medianScan(ta, listHome, 1, options.reps);

    if (!options.cli.empty() && fs::exists(options.cli) && !options.floor.empty() &&
        fs::exists(options.floor)) {
        std::fprintf(stderr, "[%s] kloxmere-cli scan against the floor...\n", tier.name.c_str());
        fs::path cliHome = FreshDirectory(r.installation, "home-cli");
        // The program scans on one thread per core; the floor gets as many.
        std::string threads = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
        std::string failure;
        r.processes = CompareWithFloor({options.cli, "--ta", Utf8FromPath(ta), "--home",
                                        Utf8FromPath(cliHome), "scan", "--no-cache"},
                                       {options.floor, "-j", threads, Utf8FromPath(ta)},
                                       options.reps, failure);
        if (!failure.empty()) r.notes.push_back(failure);
        if (r.processes->scan.empty() || r.processes->floor.empty()) r.processes.reset();
    }
    return r;
}

// The table: one column per tier, the target last.
class Table {
  public:
    explicit Table(const std::vector<TierResult>& results) : m_results(results) {
        std::vector<std::string> header{""};
        for (const TierResult& r : results) header.push_back(r.tier.name);
        header.push_back("target");
        m_rows.push_back(header);
    }

    void section(const std::string& label) { m_rows.push_back({label}); }

    // `verdict` (may be empty) says, for a tier the target applies to, whether it is met.
    void row(const std::string& label, const std::function<std::string(const TierResult&)>& value,
             const std::string& target = "",
             const std::function<std::optional<bool>(const TierResult&)>& verdict = {}) {
        std::vector<std::string> cells{label};
        for (const TierResult& r : m_results) {
            std::string cell = value(r);
            if (verdict) {
                if (auto met = verdict(r)) cell += *met ? " ok" : " MISS";
            }
            cells.push_back(cell);
        }
        cells.push_back(target);
        m_rows.push_back(cells);
    }

    void print() const {
        std::vector<std::size_t> widths;
        for (const auto& row : m_rows) {
            if (row.size() == 1) continue;
            widths.resize(std::max(widths.size(), row.size()), 0);
            for (std::size_t i = 0; i < row.size(); ++i)
                widths[i] = std::max(widths[i], row[i].size());
        }
        for (const auto& row : m_rows) {
            std::string line;
            for (std::size_t i = 0; i < row.size(); ++i) {
                std::string cell = row[i];
                if (row.size() > 1) {
                    std::string fill(widths[i] - cell.size(), ' ');
                    cell = i == 0 || i + 1 == row.size() ? cell + fill : fill + cell;
                }
                line += (i ? "  " : "") + cell;
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            std::printf("%s\n", line.c_str());
        }
    }

  private:
    const std::vector<TierResult>& m_results;
    std::vector<std::vector<std::string>> m_rows;
};

std::string fixed(double value, int decimals = 1) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string megabytes(std::uint64_t bytes) {
    return fixed(static_cast<double>(bytes) / 1e6, 1);
}

bool isTier(const TierResult& r, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return r.tier.name == n; });
}

void printTable(const std::vector<TierResult>& results, const Options& options) {
    std::printf("Scan benchmark: median of %d runs, %u hardware threads, seed %llu\n\n",
                options.reps, std::thread::hardware_concurrency(),
                static_cast<unsigned long long>(options.seed));
    Table t(results);
    t.section("installation");
    t.row("  archives (catalogued)", [](const TierResult& r) {
        return std::to_string(r.installation.made.archives) + " (" + std::to_string(r.archives) +
               ")";
    });
    t.row("  units / weapons / menu entries", [](const TierResult& r) {
        return std::to_string(r.units) + " / " + std::to_string(r.weapons) + " / " +
               std::to_string(r.menuEntries);
    });
    t.row("  build-menu conflicts",
          [](const TierResult& r) { return std::to_string(r.menuConflicts); });
    t.row("  archive bytes on disk (MB)",
          [](const TierResult& r) { return megabytes(r.installation.made.archiveBytes); });
    t.section("full scan, 1 thread (ms)");
    for (std::size_t p = 0; p < std::size(kPhases); ++p)
        t.row(kPhases[p].label, [p](const TierResult& r) { return fixed(r.phases[p]); });
    t.row("  processor time", [](const TierResult& r) { return fixed(r.scanCpu); });
    t.row("full scan, all cores (ms)", [](const TierResult& r) { return fixed(r.allCores); });
    t.row(
        "conflicts + side grouping (% of scan)",
        [](const TierResult& r) {
            double passes = r.phase(&ScanTimings::weaponConflicts) +
                            r.phase(&ScanTimings::menuConflicts) +
                            r.phase(&ScanTimings::sideGrouping);
            return fixed(100.0 * passes / r.scanTotal());
        },
        "< 5 % (XL)",
        [](const TierResult& r) -> std::optional<bool> {
            if (!isTier(r, {"XL"})) return std::nullopt;
            double passes = r.phase(&ScanTimings::weaponConflicts) +
                            r.phase(&ScanTimings::menuConflicts) +
                            r.phase(&ScanTimings::sideGrouping);
            return passes < 0.05 * r.scanTotal();
        });
    t.row("bytes read by the scan (MB)",
          [](const TierResult& r) { return megabytes(r.scanBytesRead); });
    t.row("bytes needed (MB)",
          [](const TierResult& r) { return megabytes(r.installation.made.definitionBytes); });
    t.row(
        "  read / needed",
        [](const TierResult& r) {
            return fixed(static_cast<double>(r.scanBytesRead) /
                             static_cast<double>(r.installation.made.definitionBytes),
                         2);
        },
        "<= 1.2",
        [](const TierResult& r) -> std::optional<bool> {
            return static_cast<double>(r.scanBytesRead) <=
                   1.2 * static_cast<double>(r.installation.made.definitionBytes);
        });
    t.row("fast-load scan, 1 thread (ms)", [](const TierResult& r) { return fixed(r.fastLoad); });
    t.row("  bytes read with fast-load (MB)",
          [](const TierResult& r) { return megabytes(r.fastLoadBytesRead); });
    t.row(
        "  full scan / fast-load",
        [](const TierResult& r) { return fixed(r.scanTotal() / r.fastLoad); }, ">= 5 (L)",
        [](const TierResult& r) -> std::optional<bool> {
            if (!isTier(r, {"L"})) return std::nullopt;
            return r.scanTotal() >= 5 * r.fastLoad;
        });
    t.row(
        "Units tab fill (ms)",
        [](const TierResult& r) {
            return fixed(r.unitsFill) + " (" + std::to_string(r.unitRows) + " rows)";
        },
        "< 50 (XL)",
        [](const TierResult& r) -> std::optional<bool> {
            if (!isTier(r, {"XL"})) return std::nullopt;
            return r.unitsFill < 50;
        });
    t.row("Conflicts tab fill (ms)", [](const TierResult& r) {
        return fixed(r.conflictsFill) + " (" + std::to_string(r.conflictRows) + " rows)";
    });
    std::string threads = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
    auto processes = [](const TierResult& r) -> const ProcessComparison* {
        return r.processes ? &*r.processes : nullptr;
    };
    auto figure = [&](double (ProcessComparison::*of)() const, double scale, int decimals) {
        return [=](const TierResult& r) {
            const ProcessComparison* p = processes(r);
            return p ? fixed((p->*of)() * scale, decimals) : std::string("n/a");
        };
    };
    auto ratioVerdict = [&](double (ProcessComparison::*top)() const,
                            double (ProcessComparison::*bottom)() const, double limit) {
        return [=](const TierResult& r) -> std::optional<bool> {
            const ProcessComparison* p = processes(r);
            if (!p || !isTier(r, {"L", "XL"})) return std::nullopt;
            return (p->*top)() <= limit * (p->*bottom)();
        };
    };
    auto ratio = [&](double (ProcessComparison::*top)() const,
                     double (ProcessComparison::*bottom)() const) {
        return [=](const TierResult& r) {
            const ProcessComparison* p = processes(r);
            return p ? fixed((p->*top)() / (p->*bottom)(), 2) : std::string("n/a");
        };
    };
    t.section("kloxmere-cli scan against the floor -j " + threads + ", whole processes");
    t.row("  kloxmere-cli scan wall time (ms)", figure(&ProcessComparison::scanSeconds, 1000, 1));
    t.row("  floor wall time (ms)", figure(&ProcessComparison::floorSeconds, 1000, 1));
    t.row("  wall time: scan / floor",
          ratio(&ProcessComparison::scanSeconds, &ProcessComparison::floorSeconds),
          "<= 1.5 (L, XL)",
          ratioVerdict(&ProcessComparison::scanSeconds, &ProcessComparison::floorSeconds, 1.5));
    t.row("  kloxmere-cli scan processor time (ms)",
          figure(&ProcessComparison::scanCpuSeconds, 1000, 1));
    t.row("  floor processor time (ms)", figure(&ProcessComparison::floorCpuSeconds, 1000, 1));
    t.row("  processor time: scan / floor",
          ratio(&ProcessComparison::scanCpuSeconds, &ProcessComparison::floorCpuSeconds),
          "<= 2 (L, XL)",
          ratioVerdict(&ProcessComparison::scanCpuSeconds, &ProcessComparison::floorCpuSeconds, 2));
    t.row("  kloxmere-cli scan peak memory (MB)",
          figure(&ProcessComparison::scanPeakMegabytes, 1, 1), "< 100 (XL)",
          [&](const TierResult& r) -> std::optional<bool> {
              const ProcessComparison* p = processes(r);
              if (!p || !isTier(r, {"XL"})) return std::nullopt;
              return p->scanPeakMegabytes() < 100;
          });
    t.print();

    for (const TierResult& r : results) {
        if (r.installation.generated) {
            std::printf("%s: generated in %.1f s into %s\n", r.tier.name.c_str(),
                        r.installation.generationSeconds, r.installation.taDirectory.c_str());
        }
        for (const std::string& note : r.notes)
            std::printf("%s: %s\n", r.tier.name.c_str(), note.c_str());
    }
    if (options.cli.empty() || !fs::exists(options.cli))
        std::printf("kloxmere-cli not found%s%s: no whole-process figures\n",
                    options.cli.empty() ? "" : " at ", options.cli.c_str());
    if (options.floor.empty() || !fs::exists(options.floor))
        std::printf("the floor program not found%s%s: no whole-process figures\n",
                    options.floor.empty() ? "" : " at ", options.floor.c_str());
}

int usage() {
    std::fprintf(stderr,
                 "usage: kloxmere_bench_scan [--tier M,L,XL] [--reps N] [--seed N] [--data DIR] "
                 "[--cli PATH] [--floor PATH]\n");
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
        } else if (arg == "--cli") {
            options.cli = std::string(value);
        } else if (arg == "--floor") {
            options.floor = std::string(value);
        } else {
            return usage();
        }
    }
    if (options.tiers.empty()) options.tiers = {tools::TierM(), tools::TierL(), tools::TierXL()};

    std::vector<TierResult> results;
    for (const tools::InstallationTier& tier : options.tiers)
        results.push_back(measure(tier, options));
    printTable(results, options);
    return 0;
}

// The desktop program's start against the command-line scan, as whole
// processes on a generated installation: from the process started to the
// main window shown (tree and Units list filled), against
// `kloxmere-cli scan` from its start to its end. Both read every archive
// (no warm-start cache). What the window adds beyond the scan is its
// difference; the splash window is left out (its two seconds are a floor of
// their own, not work). Runs are interleaved round by round; the table gives
// medians.
//
//   kloxmere_bench_start [--tier XL] [--reps N] [--seed N] [--data DIR]
//
// The window runs in a copy of this executable started like the program
// (Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise), which
// writes its milestones to a pipe and ends once the first unit is shown.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/Session.h"
#include "base/FileSystem.h"
#include "base/ProgramHeap.h"
#include "bench/BenchInstallation.h"
#include "bench/BenchTiming.h"
#include "bench/PeakMemory.h"
#include "ui/BackgroundScan.h"
#include "ui/FrmMain.h"
#include "ui/QtPlatformServices.h"

extern char** environ;

using namespace kloxmere;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kWindowFlag = "--start-window-for-bench";

long long nanoseconds(Clock::time_point at) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

// The copy that plays the program: the same start as its main, without the
// splash and the settings, then the milestones on stdout.
int windowMain(int argc, char** argv) {
    const Clock::time_point entered = Clock::now();
    if (argc < 4) return 2;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ui::QtPlatformServices windowServices;
    ui::ForwardingServices services(windowServices);
    const std::string home = std::string(argv[3]) + "/";
    Session session(services, home, home);
    session.TADirectory = std::string(argv[2]) + "/";
    ui::StartupTimings timings;
    ui::StartupOptions options;
    options.forwarding = &services;
    options.splash = false;
    options.scanCache = false;
    options.timings = &timings;
    ui::FrmMain window(session, options);
    windowServices.setOwner(&window);
    if (window.Form_Load() != ui::FrmMain::StartResult::Shown) return 1;
    std::printf("%lld %lld %lld %lld\n", nanoseconds(entered), nanoseconds(timings.scanEnded),
                nanoseconds(timings.shown), nanoseconds(timings.unitDisplayed));
    return 0;
}

struct WindowRun {
    double toMain = 0, toScanEnd = 0, toShown = 0, toUnit = 0;  // ms from the process's start
};

// Starts the window copy on `ta` and reads its milestones, in milliseconds
// from just before the process was started.
std::optional<WindowRun> runWindow(const std::string& self, const fs::path& ta,
                                   const fs::path& home) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string taText = Utf8FromPath(ta), homeText = Utf8FromPath(home);
    std::vector<char*> argv = {const_cast<char*>(self.c_str()), const_cast<char*>(kWindowFlag),
                               const_cast<char*>(taText.c_str()),
                               const_cast<char*>(homeText.c_str()), nullptr};
    pid_t pid = 0;
    const Clock::time_point started = Clock::now();
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t got; error == 0 && (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    if (error != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    long long at[4] = {};
    if (std::sscanf(output.c_str(), "%lld %lld %lld %lld", &at[0], &at[1], &at[2], &at[3]) != 4) {
        return std::nullopt;
    }
    const auto since = [&](long long ns) { return (ns - nanoseconds(started)) / 1e6; };
    return WindowRun{since(at[0]), since(at[1]), since(at[2]), since(at[3])};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], bench::kMeasureFlag) == 0) {
        return bench::MeasuringCopyMain(argc, argv);
    }
    if (argc > 1 && std::strcmp(argv[1], kWindowFlag) == 0) {
        kloxmere::PrepareProgramHeap();  // as the program does
        return windowMain(argc, argv);
    }

    bench::BenchArguments arguments;
    arguments.data = KLOXMERE_BENCH_DATA_DIR;
    arguments.count = 7;
    if (!bench::ReadBenchArguments(argc, argv, "--reps", arguments)) return 2;
    const bench::BenchInstallation installation =
        bench::PrepareInstallation(arguments.data, arguments.tier, arguments.seed);
    const fs::path home = bench::FreshDirectory(installation, "start-home");
    const std::string self = fs::canonical("/proc/self/exe").string();
    const std::string ta = Utf8FromPath(installation.taDirectory);
    const std::vector<std::string> cli = {KLOXMERE_CLI_PATH,  "--ta", ta,          "--home",
                                          Utf8FromPath(home), "scan", "--no-cache"};

    std::vector<double> scan, toMain, toScanEnd, toShown, toUnit, extra;
    for (int rep = 0; rep < arguments.count; ++rep) {
        const std::optional<bench::ProgramRun> scanned = bench::RunAndMeasure(cli);
        const std::optional<WindowRun> window = runWindow(self, installation.taDirectory, home);
        if (!scanned || scanned->exitStatus != 0 || !window) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        scan.push_back(scanned->seconds * 1e3);
        toMain.push_back(window->toMain);
        toScanEnd.push_back(window->toScanEnd);
        toShown.push_back(window->toShown);
        toUnit.push_back(window->toUnit);
        extra.push_back(window->toShown - scanned->seconds * 1e3);
    }

    std::printf("Kloxmere's start on tier %s (%llu archives), medians of %d interleaved runs\n",
                arguments.tier.name.c_str(),
                static_cast<unsigned long long>(arguments.tier.archives), arguments.count);
    const auto row = [](const char* what, const std::vector<double>& values, const char* target) {
        std::printf("%-58s %8.1f ms  %s\n", what, bench::Median(values), target);
    };
    row("kloxmere-cli scan --no-cache, process start to end", scan, "");
    row("window: process start to main() (program loading)", toMain, "");
    row("window: process start to scan end", toScanEnd, "");
    row("window: process start to main window shown", toShown, "");
    row("window: process start to first unit shown", toUnit, "");
    row("window's extra: main window shown minus the CLI scan", extra, "< 150 ms");
    return 0;
}

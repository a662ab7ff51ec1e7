// How quickly the list's filter answers a keystroke on a huge installation:
// the Conflicts tab of a generated tier (about 120,000 rows on XL: units with
// weapon conflicts and build-menu conflicts), each keystroke timed from the
// key press to the list's visible rows painted. Runs on Qt's offscreen platform.
//
//   kloxmere_bench_filter [--tier XL] [--reps N] [--seed N] [--data DIR]

#include <time.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "base/FileSystem.h"
#include "bench/BenchInstallation.h"
#include "bench/BenchTiming.h"
#include "catalogue/Catalogue.h"
#include "tools/InstallationGenerator.h"
#include "ui/BackgroundScan.h"
#include "ui/FilterBox.h"
#include "ui/FrmMain.h"
#include "ui/QtPlatformServices.h"
#include "ui/UnitListModel.h"

namespace {

using namespace kloxmere;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The processor time of the keystrokes timed, which a busy machine disturbs
// less than their wall time.
std::vector<double> g_cpu;

// One key pressed and released in the filter field, then the list painted.
double keystroke(ui::FrmMain& window, int key, const QString& text) {
    const double cpuStart = bench::ThreadCpuMilliseconds();
    auto start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(window.TxtFilter, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(window.TxtFilter, &release);
    window.ListUnits->viewport()->repaint();
    QCoreApplication::processEvents();
    const double wall = bench::Milliseconds(Clock::now() - start);
    g_cpu.push_back(bench::ThreadCpuMilliseconds() - cpuStart);
    return wall;
}

double typeCharacter(ui::FrmMain& window, QChar c) {
    return keystroke(window, c.toUpper().unicode(), QString(c));
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    bench::BenchArguments arguments;
    arguments.data = KLOXMERE_BENCH_DATA_DIR;
    arguments.count = 5;
    if (!bench::ReadBenchArguments(argc, argv, "--reps", arguments)) return 2;
    const tools::InstallationTier& tier = arguments.tier;
    bench::BenchInstallation installation =
        bench::PrepareInstallation(arguments.data, tier, arguments.seed);
    fs::path home = bench::FreshDirectory(installation, "filter-home");

    ui::QtPlatformServices windowServices;
    ui::ForwardingServices services{windowServices};
    Session session(services, Utf8FromPath(home) + "/", Utf8FromPath(home) + "/");
    session.TADirectory = Utf8FromPath(installation.taDirectory) + "/";
    ui::StartupOptions options;
    options.forwarding = &services;
    options.splash = false;
    ui::FrmMain window(session, options);
    windowServices.setOwner(&window);
    if (window.Form_Load() != ui::FrmMain::StartResult::Shown) return 1;
    window.TabView->setCurrentIndex(1);
    QCoreApplication::processEvents();
    const std::size_t rows = window.listModel().totalCount();

    // A unit name from the middle of the list, typed a character at a time:
    // the first keystroke filters every row, the later ones the rows kept.
    const auto& units = session.catalogue.UnitList;
    const QString name = QString::fromStdString(units.Item(units.Count() / 2)->Name).left(8);
    std::vector<double> first, narrowing, noMatch, backspace;
    for (int rep = 0; rep < arguments.count; ++rep) {
        window.TxtFilter->clear();
        QCoreApplication::processEvents();
        first.push_back(typeCharacter(window, name.at(0)));
        for (qsizetype i = 1; i < name.size(); ++i) {
            narrowing.push_back(typeCharacter(window, name.at(i)));
        }
        // A character no cell holds: every column of every row is read.
        window.TxtFilter->clear();
        noMatch.push_back(typeCharacter(window, QChar('~')));
        // Widening again looks at every row.
        window.TxtFilter->setText("~~");
        backspace.push_back(keystroke(window, Qt::Key_Backspace, {}));
    }
    const std::size_t kept = window.listModel().items().size();

    std::printf("Kloxmere list filter on tier %s, Conflicts tab of %zu rows, medians of %d runs\n",
                tier.name.c_str(), rows, arguments.count);
    std::printf("%-56s %10s   %s\n", "measure (key press to list painted)", "figure", "target");
    auto row = [](const char* what, double value, const char* target) {
        std::printf("%-56s %7.1f ms  %s\n", what, value, target);
    };
    row("first keystroke (every row looked at)", bench::Median(first), "< 100 ms");
    row("further keystrokes of a unit name (rows kept)", bench::Median(narrowing), "< 100 ms");
    row("slowest further keystroke",
        narrowing.empty() ? 0 : *std::max_element(narrowing.begin(), narrowing.end()), "< 100 ms");
    row("keystroke that no cell matches (every cell read)", bench::Median(noMatch), "< 100 ms");
    row("backspace that widens the filter again", bench::Median(backspace), "< 100 ms");
    row("processor time of a keystroke, median of all", bench::Median(g_cpu), "");
    row("processor time of a keystroke, slowest",
        g_cpu.empty() ? 0 : *std::max_element(g_cpu.begin(), g_cpu.end()), "");
    std::printf("rows kept by the last filter: %zu\n", kept);
    return 0;
}

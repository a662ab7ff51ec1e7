// How quickly the desktop window answers on a huge installation: from the
// end of the scan to the main window shown, switching to the Conflicts tab
// and back, selecting a tree node, redrawing the rows' state after a side is
// disabled, how often the progress window repaints during the scan, and the
// peak memory of the whole. Runs on Qt's offscreen platform.
//
//   kloxmere_bench_ui [--tier XL] [--reps N] [--seed N] [--data DIR]

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTabBar>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "base/FileSystem.h"
#include "bench/BenchInstallation.h"
#include "bench/BenchTiming.h"
#include "tools/InstallationGenerator.h"
#include "ui/BackgroundScan.h"
#include "ui/FrmMain.h"
#include "ui/FrmProgress.h"
#include "ui/QtPlatformServices.h"
#include "ui/UnitListModel.h"
#include "ui/UnitTreeModel.h"

namespace {

using namespace kloxmere;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The time `work` takes, with the list's visible rows painted afterwards.
template <class Work>
double timed(ui::FrmMain& window, Work&& work) {
    auto start = Clock::now();
    work();
    window.ListUnits->viewport()->repaint();
    QCoreApplication::processEvents();
    return bench::Milliseconds(Clock::now() - start);
}

// Counts the paint events of the progress window.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(object);
            if (widget && qobject_cast<ui::FrmProgress*>(widget->window())) ++paints;
        }
        return false;
    }
};

struct Window {
    ui::QtPlatformServices windowServices;
    ui::ForwardingServices services{windowServices};
    Session session;
    ui::StartupTimings timings;
    std::unique_ptr<ui::FrmMain> window;

    Window(const fs::path& ta, const fs::path& home)
        : session(services, Utf8FromPath(home) + "/", Utf8FromPath(home) + "/") {
        session.TADirectory = Utf8FromPath(ta) + "/";
        ui::StartupOptions options;
        options.forwarding = &services;
        options.splash = false;
        options.timings = &timings;
        window = std::make_unique<ui::FrmMain>(session, options);
        windowServices.setOwner(window.get());
    }
};

void selectNode(ui::FrmMain& window, const std::string& key) {
    const auto& nodes = window.treeModel().nodes();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].key == key) {
            window.TreeUnits->setCurrentIndex(window.treeModel().indexOfNode(i));
            window.TreeUnits_Click();
            return;
        }
    }
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
    const int reps = arguments.count;
    bench::BenchInstallation installation =
        bench::PrepareInstallation(arguments.data, tier, arguments.seed);
    fs::path home = bench::FreshDirectory(installation, "ui-home");

    std::vector<double> startup, display, toConflicts, toUnits, node, refresh, repaintRate;
    for (int rep = 0; rep < reps; ++rep) {
        Window w(installation.taDirectory, home);
        PaintCounter counter;
        application.installEventFilter(&counter);
        auto scanStart = Clock::now();
        if (w.window->Form_Load() != ui::FrmMain::StartResult::Shown) return 1;
        application.removeEventFilter(&counter);
        const double scanSeconds =
            std::chrono::duration<double>(w.timings.scanEnded - scanStart).count();
        repaintRate.push_back(counter.paints / scanSeconds);
        startup.push_back(bench::Milliseconds(w.timings.shown - w.timings.scanEnded));
        display.push_back(bench::Milliseconds(w.timings.unitDisplayed - w.timings.shown));
        QCoreApplication::processEvents();

        ui::FrmMain& window = *w.window;
        toConflicts.push_back(timed(window, [&] { window.TabView->setCurrentIndex(1); }));
        toUnits.push_back(timed(window, [&] { window.TabView->setCurrentIndex(0); }));
        const std::string side = w.session.catalogue.SideList.Item(1).Name;
        node.push_back(timed(window, [&] { selectNode(window, side); }));
        window.mnuEditDisableGroup->trigger();
        refresh.push_back(timed(window, [&] { window.RefreshListState(); }));
        window.mnuEditEnableGroup->trigger();
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peak = usage.ru_maxrss / 1024.0;

    std::printf("Kloxmere window on tier %s (%llu archives), medians of %d runs\n",
                tier.name.c_str(), static_cast<unsigned long long>(tier.archives), reps);
    std::printf("%-52s %10s   %s\n", "measure", "figure", "target");
    auto row = [](const char* what, double value, const char* unit, const char* target) {
        std::printf("%-52s %7.1f %-3s  %s\n", what, value, unit, target);
    };
    row("scan end -> main window shown (tree, Units list)", bench::Median(startup), "ms",
        "< 150 ms");
    row("first unit displayed after showing", bench::Median(display), "ms", "");
    row("switch to Conflicts tab (with paint)", bench::Median(toConflicts), "ms", "< 100 ms");
    row("switch back to Units tab (with paint)", bench::Median(toUnits), "ms", "< 100 ms");
    row("select a side in the tree (with paint)", bench::Median(node), "ms", "< 50 ms");
    row("RefreshListState after disabling a side", bench::Median(refresh), "ms", "< 100 ms");
    row("progress window repaints during the scan", bench::Median(repaintRate), "/s", ">= 10 /s");
    row("peak resident memory of the whole run", peak, "MB", "< 300 MB");
    return 0;
}

// How quickly the Windows window answers on a huge installation: from the end
// of the scan to the main window shown, a click on the Conflicts tab and one
// back on Units (each until the list has painted its visible rows), and the
// peak working set of the whole run. The clicks are the mouse messages a
// person's click sends to the tab strip, which the strip turns into the
// TCN_SELCHANGE the window handles. Runs under Wine with its null graphics
// driver (see scripts/bench-windows), or on Windows itself.
//
//   kloxmere_bench_win32.exe [--tier XL] [--reps N] [--seed N] [--data DIR]

#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Session.h"
#include "base/FileSystem.h"
#include "bench/BenchInstallation.h"
#include "tools/InstallationGenerator.h"
#include "win32/BackgroundScan.h"
#include "win32/FrmMain.h"
#include "win32/Win32PlatformServices.h"

namespace {

using namespace kloxmere;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using win32::FrmMain;

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void pump(FrmMain& window) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        if (!window.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Counts the list's requests for cell texts: proof that a switch painted rows.
LRESULT CALLBACK countCells(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR counter) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == FrmMain::IdListUnits && header->code == LVN_GETDISPINFOW) {
            ++*reinterpret_cast<long*>(counter);
        }
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// A click on tab `tab`, as the mouse sends it, until the list has painted.
double clickTab(FrmMain& window, int tab) {
    HWND tabs = window.Control(FrmMain::IdTabView);
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    const auto start = Clock::now();
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    UpdateWindow(window.hwnd());
    RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump(window);
    return milliseconds(Clock::now() - start);
}

double peakWorkingSetMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                     ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);

    bench::BenchArguments arguments;
    arguments.data = "bench-data";
    arguments.count = 5;
    if (!bench::ReadBenchArguments(argc, argv, "--reps", arguments)) return 2;
    const tools::InstallationTier& tier = arguments.tier;
    const int reps = arguments.count;
    bench::BenchInstallation installation =
        bench::PrepareInstallation(arguments.data, tier, arguments.seed);
    if (installation.generated) {
        std::printf("generated tier %s in %.0f s\n", tier.name.c_str(),
                    installation.generationSeconds);
    }
    const std::string home = Utf8FromPath(bench::FreshDirectory(installation, "win32-home")) + "\\";

    std::vector<double> startup, display, toConflicts, toUnits;
    std::size_t conflictRows = 0, unitRows = 0;
    long conflictCells = 0, unitCells = 0;
    for (int rep = 0; rep < reps; ++rep) {
        win32::Win32PlatformServices windowServices;
        win32::ForwardingServices services(windowServices);
        Session session(services, home, home);
        session.TADirectory = Utf8FromPath(installation.taDirectory) + "\\";
        window::StartupTimings timings;
        window::StartupOptions options;
        options.splash = false;
        options.timings = &timings;
        FrmMain window(session, services, options);
        window.Create();
        windowServices.SetOwner(window.hwnd());
        if (window.presenter().Start() != window::MainPresenter::StartResult::Shown) {
            std::fprintf(stderr, "the window did not start on %s\n",
                         Utf8FromPath(installation.taDirectory).c_str());
            return 1;
        }
        startup.push_back(milliseconds(timings.shown - timings.scanEnded));
        display.push_back(milliseconds(timings.unitDisplayed - timings.shown));
        pump(window);

        long cells = 0;
        SetWindowSubclass(window.hwnd(), countCells, 1, reinterpret_cast<DWORD_PTR>(&cells));
        toConflicts.push_back(clickTab(window, 1));
        conflictRows = window.presenter().list().rowCount();
        conflictCells = cells;
        cells = 0;
        toUnits.push_back(clickTab(window, 0));
        unitRows = window.presenter().list().rowCount();
        unitCells = cells;
        RemoveWindowSubclass(window.hwnd(), countCells, 1);
        if (window.presenter().currentTab() != 0 || !conflictCells || !unitCells) {
            std::fprintf(stderr, "the tab clicks did not show and paint both lists\n");
            return 1;
        }
    }
    const double peak = peakWorkingSetMegabytes();

    std::printf("Kloxmere Windows window on tier %s (%llu archives), medians of %d runs\n",
                tier.name.c_str(), static_cast<unsigned long long>(tier.archives), reps);
    std::printf("%-52s %10s   %s\n", "measure", "figure", "target");
    auto row = [](const char* what, double value, const char* unit, const char* target) {
        std::printf("%-52s %7.1f %-3s  %s\n", what, value, unit, target);
    };
    row("scan end -> main window shown (tree, Units list)", median(startup), "ms", "< 150 ms");
    row("first unit displayed after showing", median(display), "ms", "");
    row("click on Conflicts tab, list painted", median(toConflicts), "ms", "< 100 ms");
    row("click back on Units tab, list painted", median(toUnits), "ms", "< 100 ms");
    row("peak working set of the whole run", peak, "MB", "< 300 MB");
    std::printf("rows: Conflicts %zu (%ld cells worded), Units %zu (%ld cells worded)\n",
                conflictRows, conflictCells, unitRows, unitCells);
    return 0;
}

// How long finding the game takes on a busy home: five Steam libraries (the
// first listing the other four, each with games and Proton prefixes), twenty
// Wine prefixes in all (Proton, Bottles, Lutris, Heroic, ~/.wine) with full
// system.reg files and Windows directories, and 100,000 other files around
// them (documents, game data, system files). The home is built once in the
// benchmark data directory and reused.
//
//   kloxmere_bench_discovery [--reps N] [--data DIR]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/InstallationDiscovery.h"

namespace {

using namespace kloxmere;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kLibraries = 5;
constexpr int kOtherFiles = 100000;
constexpr double kTargetMilliseconds = 200;

int g_files = 0;  // the other files written so far

void writeFile(const fs::path& path, const std::string& text = "x") {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// `count` other files spread over sub-directories of `directory`, 100 a directory.
void fillWithFiles(const fs::path& directory, int count) {
    for (int i = 0; i < count; ++i) {
        writeFile(directory / ("d" + std::to_string(i / 100)) /
                  ("file" + std::to_string(i) + ".dat"));
    }
    g_files += count;
}

void writeGame(const fs::path& directory) {
    writeFile(directory / "totala.exe", "MZ");
    for (const char* archive :
         {"totala1.hpi", "totala2.hpi", "rev31.gp3", "ccdata.ccx", "addon.ufo"}) {
        writeFile(directory / archive, "HAPI");
    }
}

// A prefix as Wine leaves it: a system.reg of about a megabyte, Windows'
// directory full of files, Program Files with a few programs.
void writePrefix(const fs::path& prefix, const std::string& registered = {}) {
    std::string reg = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
    for (int key = 0; reg.size() < 1000000; ++key) {
        reg += "[Software\\\\Classes\\\\CLSID\\\\{" + std::to_string(100000 + key) +
               "}] 1700000000\n#time=1d9e0a0b0c0d0e0\n@=\"Some component\"\n"
               "\"ThreadingModel\"=\"Both\"\n\n";
    }
    if (!registered.empty()) {
        reg +=
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Total "
            "Annihilation] 1700000000\n\"Dir\"=\"" +
            registered + "\"\n";
    }
    writeFile(prefix / "system.reg", reg);
    writeFile(prefix / "user.reg", "WINE REGISTRY Version 2\n");
    fillWithFiles(prefix / "drive_c/windows/system32", 2000);
    for (const char* program : {"Common Files/System", "Internet Explorer", "Windows Media Player",
                                "Windows NT/Accessories"}) {
        fillWithFiles(prefix / "drive_c/Program Files" / program, 50);
    }
    fs::create_directories(prefix / "drive_c/users/steamuser/Documents");
    fs::create_directories(prefix / "dosdevices");
}

void buildHome(const fs::path& root) {
    const fs::path home = root / "home";
    const fs::path steamRoot = home / ".local/share/Steam";
    std::string vdf = "\"libraryfolders\"\n{\n";
    for (int i = 0; i < kLibraries; ++i) {
        const fs::path library = i == 0 ? steamRoot : root / ("library" + std::to_string(i));
        vdf += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() +
               "\"\n\t}\n";
        for (int game = 0; game < 10; ++game) {
            fillWithFiles(library / "steamapps/common" / ("Game " + std::to_string(game)), 400);
        }
        writePrefix(library / "steamapps/compatdata" / std::to_string(1000 + i) / "pfx");
        fs::create_directories(library / "steamapps/shadercache");
    }
    vdf += "}\n";
    writeFile(steamRoot / "steamapps/libraryfolders.vdf", vdf);
    fs::create_directories(home / ".steam");
    fs::create_directory_symlink(steamRoot, home / ".steam/steam");
    writeGame(root / "library2/steamapps/common/Total Annihilation");
    writeFile(root / "library2/steamapps/appmanifest_298030.acf",
              "\"AppState\" { \"appid\" \"298030\" \"installdir\" \"Total Annihilation\" }");

    for (int i = 0; i < 5; ++i)
        writePrefix(home / ".local/share/bottles/bottles" / ("Bottle" + std::to_string(i)));
    writeGame(home / ".local/share/bottles/bottles/Bottle3/drive_c/Games/TA");
    for (int i = 0; i < 4; ++i) writePrefix(home / "Games" / ("lutris-game-" + std::to_string(i)));
    for (int i = 0; i < 2; ++i) {
        const fs::path prefix = root / "prefixes" / ("lutris-" + std::to_string(i));
        writePrefix(prefix);
        writeFile(home / ".config/lutris/games" / ("game-" + std::to_string(i) + ".yml"),
                  "game:\n  exe: drive_c/game.exe\n  prefix: " + prefix.string() + "\n");
    }
    for (int i = 0; i < 3; ++i) {
        const fs::path prefix =
            home / "Games/Heroic/Prefixes/default" / ("Game" + std::to_string(i));
        writePrefix(prefix);
        writeFile(home / ".config/heroic/GamesConfig" / ("game" + std::to_string(i) + ".json"),
                  "{\"game\": {\"winePrefix\": \"" + prefix.string() + "\"}}");
    }
    writePrefix(home / ".wine", "C:\\\\Games\\\\TA");
    writeGame(home / ".wine/drive_c/Games/TA");
    // The rest of the 100,000 in the home: documents, pictures, caches.
    fillWithFiles(home / "Documents", (kOtherFiles - g_files) / 2);
    fillWithFiles(home / ".cache/thumbnails", kOtherFiles - g_files);
    writeFile(root / "complete");
}

}  // namespace

int main(int argc, char** argv) {
    int reps = 20;
    fs::path data = KLOXMERE_BENCH_DATA_DIR;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--reps") == 0) reps = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--data") == 0) data = argv[i + 1];
    }
    const fs::path root = data / "discovery-home";
    if (!fs::exists(root / "complete")) {
        fs::remove_all(root);
        std::printf("building the home in %s ...\n", root.c_str());
        buildHome(root);
    }

    std::vector<double> times;
    std::size_t found = 0;
    for (int rep = 0; rep < reps; ++rep) {
        const auto start = Clock::now();
        found = DiscoverInstallations({root / "home", {}}).size();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-44s %10s %10s %10s\n", "discovery", "median ms", "max ms", "target ms");
    std::printf("%-44s %10.1f %10.1f %10.0f  %s\n", "5 libraries, 20 prefixes, 100,000 files",
                median, times.back(), kTargetMilliseconds,
                median < kTargetMilliseconds ? "ok" : "SLOW");
    std::printf("installations found: %zu (3 expected)\n", found);
    return found == 3 ? 0 : 1;
}

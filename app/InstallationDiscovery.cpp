#include "app/InstallationDiscovery.h"

#include <map>
#include <set>
#include <system_error>
#include <unordered_set>
#include <utility>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "app/LauncherFiles.h"
#include "archive/TADirectory.h"
#include "base/Environment.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "units/ArchiveNames.h"

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFlatpakSteam = ".var/app/com.valvesoftware.Steam/.local/share/Steam";

bool isWinePrefix(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path / "system.reg", error) && IsExistingDirectory(path / "drive_c");
}

// The names in a directory listing that make an installation.
struct ListingMarks {
    bool game = false;
    bool archive = false;
    bool systemReg = false;
    bool driveC = false;
};

// The sub-directories of `directory`, and what its entries say of it; an
// unreadable directory lists nothing.
std::vector<fs::path> listDirectory(const fs::path& directory, ListingMarks& marks) {
    std::vector<fs::path> subdirectories;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = Utf8FromPath(it->path().filename());
        std::error_code kindError;
        if (it->is_directory(kindError)) {
            subdirectories.push_back(it->path());
            if (name == "drive_c") marks.driveC = true;
        } else if (EqualsNoCase(name, "totala.exe")) {
            marks.game = true;
        } else if (EndsWithNoCase(name, ".hpi")) {
            marks.archive = true;
        } else if (name == "system.reg") {
            marks.systemReg = true;
        }
    }
    return subdirectories;
}

std::vector<fs::path> steamLibrariesOf(const fs::path& root) {
    std::vector<fs::path> libraries{root};
    for (const char* place : {"steamapps/libraryfolders.vdf", "config/libraryfolders.vdf"}) {
        if (auto text = ReadSmallTextFile(root / place)) {
            for (const std::string& path : SteamLibraryPaths(*text)) {
                libraries.push_back(PathFromUtf8(path));
            }
        }
    }
    return libraries;
}

#ifndef _WIN32

// The directories directly inside `directory`.
std::vector<fs::path> subdirectoriesOf(const fs::path& directory) {
    ListingMarks unused;
    return listDirectory(directory, unused);
}

// The places of one look, with what has been seen: each directory is listed
// once, each installation reported once.
class Discovery {
  public:
    explicit Discovery(const DiscoveryPlaces& places) : m_home(places.home) {
        if (!m_home.empty()) {
            lookInSteam();
            lookInBottles();
            lookInHeroic();
            lookInLutris();
            scanPrefix(m_home / ".wine", "wine");
        }
        if (!places.winePrefix.empty()) scanPrefix(places.winePrefix, "wine");
    }

    std::vector<FoundInstallation> found;

  private:
    // Directories listed at most this many times in one look, whatever the
    // places hold.
    static constexpr int kListingBudget = 20000;

    void lookInSteam() {
        const std::pair<fs::path, const char*> roots[] = {
            {m_home / ".steam/steam", "steam"},
            {m_home / ".local/share/Steam", "steam"},
            {m_home / kFlatpakSteam, "flatpak"},
        };
        std::set<fs::path> libraries;
        for (const auto& [root, source] : roots) {
            if (!IsExistingDirectory(root)) continue;
            for (const fs::path& library : steamLibrariesOf(root)) {
                std::error_code error;
                const fs::path real = fs::canonical(library, error);
                if (error || !libraries.insert(real).second) continue;
                const fs::path steamapps = library / "steamapps";
                for (const fs::path& game : subdirectoriesOf(steamapps / "common")) {
                    walk(game, 0, source);
                }
                for (const fs::path& app : subdirectoriesOf(steamapps / "compatdata")) {
                    scanPrefix(app / "pfx", "compatdata");
                }
            }
        }
    }

    void lookInBottles() {
        for (const char* place : {".local/share/bottles/bottles",
                                  ".var/app/com.usebottles.bottles/data/bottles/bottles"}) {
            for (const fs::path& bottle : subdirectoriesOf(m_home / place))
                walk(bottle, 0, "bottles");
        }
    }

    void lookInHeroic() {
        for (const fs::path& file : filesOf(m_home / ".config/heroic/GamesConfig", ".json")) {
            if (auto text = ReadSmallTextFile(file)) {
                for (const std::string& prefix : HeroicWinePrefixes(*text)) {
                    walk(PathFromUtf8(prefix), 0, "heroic");
                }
            }
        }
        // Games at Heroic/NAME, prefixes at Heroic/Prefixes/default/NAME.
        walk(m_home / "Games/Heroic", 3, "heroic");
    }

    void lookInLutris() {
        for (const fs::path& file : filesOf(m_home / ".config/lutris/games", ".yml")) {
            if (auto text = ReadSmallTextFile(file)) {
                for (const std::string& directory : LutrisGameDirectories(*text)) {
                    walk(PathFromUtf8(directory), 1, "lutris");
                }
            }
        }
        for (const fs::path& game : subdirectoriesOf(m_home / "Games")) walk(game, 1, "lutris");
    }

    static std::vector<fs::path> filesOf(const fs::path& directory, std::string_view extension) {
        std::vector<fs::path> files;
        std::error_code error;
        for (fs::directory_iterator it(directory, error), end; !error && it != end;
             it.increment(error)) {
            if (EndsWithNoCase(Utf8FromPath(it->path().filename()), extension)) {
                files.push_back(it->path());
            }
        }
        return files;
    }

    // Whether `directory` is to be listed, looking `depth` levels below it:
    // not when it was already listed looking as deep (directories are known
    // by device and inode, so that links and loops lead nowhere twice), nor
    // past the budget.
    bool firstVisit(const fs::path& directory, int depth) {
        struct stat status {};
        if (::stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
        if (m_listings >= kListingBudget) return false;
        auto [at, added] = m_visited.try_emplace({status.st_dev, status.st_ino}, depth);
        if (!added) {
            if (at->second >= depth) return false;
            at->second = depth;  // reached through a link at less depth before
        }
        ++m_listings;
        return true;
    }

    // Looks at `directory` and, `depth` levels down, at its sub-directories;
    // a Wine prefix met on the way is scanned as one.
    void walk(const fs::path& directory, int depth, const std::string& source) {
        if (isWinePrefix(directory)) {
            scanPrefix(directory, source);
            return;
        }
        if (!firstVisit(directory, depth)) return;
        ListingMarks marks;
        std::vector<fs::path> subdirectories = listDirectory(directory, marks);
        if (marks.game && marks.archive) add(directory, source);
        if (depth <= 0) return;
        for (const fs::path& sub : subdirectories) walk(sub, depth - 1, source);
    }

    // The prefix's registry entry, then its drive_c to a depth of four (a
    // directory directly inside drive_c being at depth one), without
    // Windows' own directory.
    void scanPrefix(const fs::path& prefix, const std::string& source) {
        if (!isWinePrefix(prefix) || !m_prefixes.insert(fs::weakly_canonical(prefix)).second) {
            return;
        }
        if (std::string registered = TADirectoryFromWinePrefix(prefix); !registered.empty()) {
            if (IsInstallationDirectory(PathFromUtf8(registered))) {
                add(PathFromUtf8(registered), "registry");
            }
        }
        const fs::path driveC = prefix / "drive_c";
        if (!firstVisit(driveC, 4)) return;
        ListingMarks marks;
        for (const fs::path& sub : listDirectory(driveC, marks)) {
            if (EqualsNoCase(Utf8FromPath(sub.filename()), "windows")) continue;
            walkDriveC(sub, 3, source);
        }
    }

    void walkDriveC(const fs::path& directory, int depth, const std::string& source) {
        if (!firstVisit(directory, depth)) return;
        ListingMarks marks;
        std::vector<fs::path> subdirectories = listDirectory(directory, marks);
        if (marks.game && marks.archive) add(directory, source);
        if (depth <= 0) return;
        for (const fs::path& sub : subdirectories) walkDriveC(sub, depth - 1, source);
    }

    void add(const fs::path& directory, const std::string& source) {
        std::error_code error;
        const fs::path real = fs::canonical(directory, error);
        if (error) return;
        std::string text = Utf8FromPath(real);
        if (!m_reported.insert(text).second) return;
        FoundInstallation installation;
        installation.archives = FindArchiveFiles(DirectoryNames(text)).size();
        installation.directory = std::move(text);
        installation.source = source;
        found.push_back(std::move(installation));
    }

    fs::path m_home;
    std::map<std::pair<dev_t, ino_t>, int> m_visited;  // the depth each was listed at
    std::set<fs::path> m_prefixes;
    std::unordered_set<std::string> m_reported;
    int m_listings = 0;
};

#endif

}  // namespace

fs::path SteamGame::protonPrefix() const {
    return library / "steamapps" / "compatdata" / appId / "pfx";
}

DiscoveryPlaces DiscoveryPlacesFromEnvironment() {
    DiscoveryPlaces places;
    if (std::string home = EnvironmentValue("HOME"); !home.empty())
        places.home = PathFromUtf8(home);
    if (std::string prefix = EnvironmentValue("WINEPREFIX"); !prefix.empty()) {
        places.winePrefix = PathFromUtf8(prefix);
    }
    return places;
}

std::vector<FoundInstallation> DiscoverInstallations(const DiscoveryPlaces& places) {
#ifdef _WIN32
    (void)places;
    return {};
#else
    return Discovery(places).found;
#endif
}

std::vector<FoundInstallation> DiscoverInstallations() {
#ifdef _WIN32
    return {};
#else
    return DiscoverInstallations(DiscoveryPlacesFromEnvironment());
#endif
}

bool IsInstallationDirectory(const fs::path& directory) {
    ListingMarks marks;
    listDirectory(directory, marks);
    return marks.game && marks.archive;
}

std::optional<fs::path> EnclosingWinePrefix(const fs::path& directory) {
    std::error_code error;
    fs::path at = fs::weakly_canonical(directory, error);
    if (error) return std::nullopt;
    while (true) {
        if (isWinePrefix(at)) return at;
        if (!at.has_relative_path()) return std::nullopt;
        at = at.parent_path();
    }
}

std::optional<SteamGame> SteamGameOf(const fs::path& directory, const fs::path& home) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(directory, error);
    if (error) return std::nullopt;
    // Find LIBRARY/steamapps/common/NAME among the directory and its parents.
    for (fs::path at = real; at.has_relative_path(); at = at.parent_path()) {
        const fs::path common = at.parent_path();
        if (common.filename() != "common" || common.parent_path().filename() != "steamapps") {
            continue;
        }
        const fs::path steamapps = common.parent_path();
        const std::string name = Utf8FromPath(at.filename());
        for (fs::directory_iterator it(steamapps, error), end; !error && it != end;
             it.increment(error)) {
            const std::string file = Utf8FromPath(it->path().filename());
            if (!file.starts_with("appmanifest_") || !file.ends_with(".acf")) continue;
            auto text = ReadSmallTextFile(it->path());
            if (!text) continue;
            auto manifest = ParseSteamAppManifest(*text);
            if (!manifest || manifest->installDir != name) continue;
            SteamGame game{manifest->appId, steamapps.parent_path(), false};
            if (!home.empty()) {
                const fs::path flatpakRoot = home / kFlatpakSteam;
                for (const fs::path& library : steamLibrariesOf(flatpakRoot)) {
                    std::error_code same;
                    if (fs::equivalent(library, game.library, same)) game.flatpak = true;
                }
            }
            return game;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace kloxmere

#include "tests/support/LauncherHomes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace kloxmere::test {

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string real(const fs::path& path) {
    return fs::canonical(path).string();
}

}  // namespace

void WriteGame(const fs::path& directory, const std::string& exe, const std::string& archive) {
    writeText(directory / exe, "MZ");
    writeText(directory / archive, "HAPI");
}

void WritePrefix(const fs::path& prefix, const std::string& systemReg) {
    writeText(prefix / "system.reg", systemReg);
    fs::create_directories(prefix / "drive_c/windows/system32");
}

LauncherHomes::LauncherHomes(const fs::path& root) : home(root / "home"), library(root / "lib") {
    // Steam: the library in ~/.local/share/Steam lists a second one; ~/.steam/steam
    // is a link to the first, as Steam makes it.
    const fs::path steamRoot = home / ".local/share/Steam";
    writeText(steamRoot / "steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steamRoot.string() +
                  "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() +
                  "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"298030\"\t\t\"1\"\n\t\t}\n\t}\n}\n");
    fs::create_directories(home / ".steam");
    fs::create_directory_symlink(steamRoot, home / ".steam/steam");
    WriteGame(library / "steamapps/common/Total Annihilation", "TotalA.exe", "totala1.hpi");
    writeText(library / "steamapps/common/Total Annihilation/rev31.ccx", "HAPI");
    writeText(library / "steamapps/appmanifest_298030.acf",
              "\"AppState\"\n{\n\t\"appid\"\t\t\"298030\"\n\t\"name\"\t\t\"TA\"\n"
              "\t\"installdir\"\t\t\"Total Annihilation\"\n}\n");
    fs::create_directories(steamRoot / "steamapps/common/Other Game/bin");
    // A Proton prefix holding a game installed from inside it.
    WritePrefix(library / "steamapps/compatdata/4242/pfx");
    WriteGame(library / "steamapps/compatdata/4242/pfx/drive_c/Games/TA", "totala.exe",
              "TOTALA2.HPI");

    // The Flatpak Steam, whose library file is cut off in the middle.
    const fs::path flatpakRoot = home / ".var/app/com.valvesoftware.Steam/.local/share/Steam";
    writeText(flatpakRoot / "steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/nowh");
    WriteGame(flatpakRoot / "steamapps/common/TA Flat");
    writeText(flatpakRoot / "steamapps/appmanifest_298030.acf",
              "\"AppState\" { \"appid\" \"298030\" \"installdir\" \"TA Flat\" }");

    // Lutris: a game file naming its prefix; a pipe and garbage beside it.
    lutrisPrefix = root / "prefixes/lutris-ta";
    WritePrefix(lutrisPrefix);
    WriteGame(lutrisPrefix / "drive_c/GOG Games/TA", "TOTALA.EXE", "totala1.HPI");
    writeText(home / ".config/lutris/games/ta-1700000000.yml",
              "game:\n  exe: drive_c/GOG Games/TA/TOTALA.EXE\n  prefix: '" + lutrisPrefix.string() +
                  "'\nname: TA\nrunner: wine\n");
    writeText(home / ".config/lutris/games/broken.yml", "game: [\n  prefix: \"\n\x01\x02");
    ::mkfifo((home / ".config/lutris/games/pipe.yml").c_str(), 0600);

    // Bottles: a bottle is a prefix; the game three levels into drive_c.
    bottlesPrefix = home / ".local/share/bottles/bottles/TA";
    WritePrefix(bottlesPrefix);
    WriteGame(bottlesPrefix / "drive_c/Program Files/Games/TA");

    // Heroic: the configuration names a prefix outside the home, escaped.
    heroicPrefix = root / "prefixes/heroic ta";
    WritePrefix(heroicPrefix);
    WriteGame(heroicPrefix / "drive_c/TA");
    std::string escaped = (root / "prefixes").string();
    writeText(home / ".config/heroic/GamesConfig/1207658.json",
              "{\n  \"1207658\": {\n    \"wineVersion\": {\"bin\": \"/usr/bin/wine\"},\n"
              "    \"winePrefix\": \"" +
                  escaped + "\\/heroic\\u0020ta\"\n  }\n}\n");
    writeText(home / ".config/heroic/GamesConfig/damaged.json", "{\"winePrefix\": \"/unfinished");

    // The plain prefix: its registry names one game; another lies at depth
    // four of drive_c and one deeper (not looked at).
    winePrefix = home / ".wine";
    WritePrefix(winePrefix,
                "WINE REGISTRY Version 2\n\n"
                "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Total "
                "Annihilation] 1700000000\n\"Dir\"=\"C:\\\\Games\\\\TA\"\n");
    WriteGame(winePrefix / "drive_c/Games/TA");
    WriteGame(winePrefix / "drive_c/a/b/c/TA");
    WriteGame(winePrefix / "drive_c/a/b/c/d/TA");
    // Decoys: no archives; Windows' own directory; a loop; an unreadable directory.
    writeText(winePrefix / "drive_c/NoArchives/totala.exe", "MZ");
    WriteGame(winePrefix / "drive_c/windows/TA");
    fs::create_directory_symlink("..", winePrefix / "drive_c/a/loop");
    fs::create_directories(home / "Games/locked/TA");
    WriteGame(home / "Games/locked/TA");
    ::chmod((home / "Games/locked").c_str(), 0);
    if (::access((home / "Games/locked").c_str(), R_OK) == 0) {
        // Root reads it all the same: an empty directory then stands in for it.
        unreadable = false;
        ::chmod((home / "Games/locked").c_str(), 0755);
        fs::remove_all(home / "Games/locked/TA");
    }
    fs::create_directory_symlink(home / "Games", home / "Games/again");

    steam = real(library / "steamapps/common/Total Annihilation");
    flatpak = real(flatpakRoot / "steamapps/common/TA Flat");
    compatdata = real(library / "steamapps/compatdata/4242/pfx/drive_c/Games/TA");
    lutris = real(lutrisPrefix / "drive_c/GOG Games/TA");
    bottles = real(bottlesPrefix / "drive_c/Program Files/Games/TA");
    heroic = real(heroicPrefix / "drive_c/TA");
    registry = real(winePrefix / "drive_c/Games/TA");
    wine = real(winePrefix / "drive_c/a/b/c/TA");
}

LauncherHomes::~LauncherHomes() {
    ::chmod((home / "Games/locked").c_str(), 0755);  // so that the directory can be removed
}

}  // namespace kloxmere::test

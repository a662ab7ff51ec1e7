#include "archive/TADirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "archive/modHPIUtil.h"
#include "base/FileSystem.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::ScopedEnv;
using kloxmere::test::TempDir;
namespace fs = std::filesystem;

namespace {

std::string fixture(const char* name) {
    std::ifstream in(std::string(KLOXMERE_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(WineRegistry, FindsTheGamesKeysInOrderOfPreference) {
    EXPECT_EQ(TAPathsFromSystemReg(fixture("wine/system.reg")),
              (std::vector<std::string>{
                  "C:\\Cavedog\\Total Annihilation\\",  // key and value names in another case
                  "D:\\GOG Games\\Total Annihilation",
                  "C:\\Program Files (x86)\\Steam\\steamapps\\common\\Total Annihilation"}));
}

TEST(WineRegistry, DecodesWinesStringEscapesAndSkipsOtherValues) {
    std::string key =
        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Total "
        "Annihilation] 1\r\n";
    EXPECT_EQ(TAPathsFromSystemReg(
                  key + "\"Dir\"=\"C:\\\\K\\xe4se \\\"TA\\\"\\\\Caf\\x00e9a\\\\\\x20ac\\101\"\r\n"),
              std::vector<std::string>{"C:\\K\xC3\xA4se \"TA\"\\Caf\xC3\xA9"
                                       "a\\\xE2\x82\xAC"
                                       "A"});
    EXPECT_EQ(TAPathsFromSystemReg(key + "\"Dir\"=str(2):\"C:\\\\TA\"\n"),
              std::vector<std::string>{"C:\\TA"});
    for (const char* value :
         {"\"Dir\"=dword:00000001", "\"Dir\"=\"C:\\\\unterminated", "\"Dir\"=\"\""}) {
        EXPECT_TRUE(TAPathsFromSystemReg(key + value + "\n").empty()) << value;
    }
    EXPECT_TRUE(TAPathsFromSystemReg("[Software\\\\Broken\n\"Dir\"=\"C:\\\\TA\"\n").empty());
}

TEST(WinePrefix, MapsDrivesAndIgnoresCaseLikeWine) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows reads the registry itself; the Wine prefix is read elsewhere";
#endif
    TempDir prefix;
    fs::create_directories(prefix.path() / "drive_c" / "Cavedog" / "Total Annihilation");
    fs::create_directories(prefix.path() / "games" / "GOG Games" / "TA");
    fs::create_directories(prefix.path() / "dosdevices");
    fs::create_directory_symlink("../games", prefix.path() / "dosdevices" / "d:");

    EXPECT_EQ(MapWindowsPathIntoPrefix(prefix.path(), "c:\\CAVEDOG\\total annihilation\\"),
              prefix.path() / "drive_c" / "Cavedog" / "Total Annihilation");
    EXPECT_EQ(MapWindowsPathIntoPrefix(prefix.path(), "D:\\GOG Games\\TA"),
              prefix.path() / "dosdevices" / "d:" / "GOG Games" / "TA");
    EXPECT_TRUE(MapWindowsPathIntoPrefix(prefix.path(), "E:\\TA").empty());
    EXPECT_TRUE(MapWindowsPathIntoPrefix(prefix.path(), "\\\\server\\share").empty());
}

TEST(WinePrefix, TakesTheFirstRecordedDirectoryThatExists) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows reads the registry itself; the Wine prefix is read elsewhere";
#endif
    TempDir prefix;
    prefix.write("system.reg", fixture("wine/system.reg"));
    EXPECT_EQ(TADirectoryFromWinePrefix(prefix.path()), "");  // none of them exists yet

    fs::create_directories(prefix.path() / "drive_c" / "Program Files (x86)" / "Steam" /
                           "steamapps" / "common" / "Total Annihilation");
    EXPECT_EQ(
        TADirectoryFromWinePrefix(prefix.path()),
        prefix.str() + "drive_c/Program Files (x86)/Steam/steamapps/common/Total Annihilation/");

    fs::create_directories(prefix.path() / "drive_c" / "Cavedog" / "Total Annihilation");
    EXPECT_EQ(TADirectoryFromWinePrefix(prefix.path()),
              prefix.str() + "drive_c/Cavedog/Total Annihilation/");
}

TEST(FindTADirectory, EnvironmentOverridesTheWinePrefix) {
    TempDir prefix, elsewhere;
    prefix.write("system.reg", fixture("wine/system.reg"));
    fs::create_directories(prefix.path() / "drive_c" / "Cavedog" / "Total Annihilation");
    ScopedEnv wine("WINEPREFIX", Utf8FromPath(prefix.path()));
#ifndef _WIN32  // Windows reads the registry instead of the prefix
    {
        ScopedEnv unset("KLOXMERE_TA_DIR", std::nullopt);
        EXPECT_EQ(FindTADirectory(), prefix.str() + "drive_c/Cavedog/Total Annihilation/");
    }
#endif
    {
        ScopedEnv overridden("KLOXMERE_TA_DIR", Utf8FromPath(elsewhere.path()));
        EXPECT_EQ(FindTADirectory(), elsewhere.str());
    }
    {
        ScopedEnv missing("KLOXMERE_TA_DIR", elsewhere.str() + "missing");
        EXPECT_EQ(FindTADirectory(), "");
    }
}

TEST(GetTADirectory, FillsTheBufferOrLeavesItEmpty) {
    TempDir dir;
    std::array<char, 256> buffer{};
    {
        ScopedEnv overridden("KLOXMERE_TA_DIR", Utf8FromPath(dir.path()));
        EXPECT_EQ(GetTADirectory(buffer), 0);
        EXPECT_EQ(BytesToString(buffer), dir.str());
    }
    // A directory whose path does not fit the buffer is not cut short. Its
    // UTF-8 bytes pass 256 while its characters stay within MAX_PATH.
    std::string zhe;
    for (int i = 0; i < 60; ++i) zhe += "\xD0\x96";  // Ж
    fs::path deep = dir.path() / std::string(130, 'a') / PathFromUtf8(zhe);
    fs::create_directories(deep);
    buffer.fill(0);
    ScopedEnv overridden("KLOXMERE_TA_DIR", Utf8FromPath(deep));
    GetTADirectory(buffer);
    EXPECT_EQ(BytesToString(buffer), "");
}

}  // namespace

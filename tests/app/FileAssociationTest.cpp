// The schema file association: the argument rules, the registry's entries,
// and the freedesktop.org files with their rewrites.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/XdgAssociation.h"
#include "app/modRegistry.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;
namespace fs = std::filesystem;

namespace {

[[maybe_unused]] std::string text(const TempDir& dir, std::string_view name) {
    std::vector<std::uint8_t> bytes = dir.read(name);
    return std::string(bytes.begin(), bytes.end());
}

struct ToolCalls {
    std::vector<std::string> calls;
    ToolRunner runner() {
        return [this](const std::string& tool, const std::string& directory) {
            calls.push_back(tool + " " + directory);
        };
    }
};

const FileTypeRegistration kStart =
    FileTypeArguments("uls", "/opt/my games/kloxmere", "", "Kloxmere", "TA Unit List");

}  // namespace

TEST(RegisterFileType, ArgumentRules) {
    FileTypeRegistration r =
        FileTypeArguments("uls", "C:\\Program Files\\Kloxmere\\Kloxmere.exe", "  ", "", "");
    EXPECT_EQ(r.extension, ".uls");
    EXPECT_EQ(r.iconPath, "C:\\Program Files\\Kloxmere\\Kloxmere.exe,0");
    EXPECT_EQ(r.typeName, "Reg.Application");
    EXPECT_EQ(r.description, "RegDescription");
    // No quotes around the path with blanks, nor around %1.
    EXPECT_EQ(r.openCommand, "C:\\Program Files\\Kloxmere\\Kloxmere.exe %1");

    EXPECT_EQ(FileTypeArguments(".uls", "p.exe", "", "T", "D").extension, ".uls");
    EXPECT_EQ(FileTypeArguments("uls", "p.exe", "C:\\icons.DLL", "T", "D").iconPath,
              "C:\\icons.DLL,0");
    EXPECT_EQ(FileTypeArguments("uls", "p.exe", "C:\\k.ico", "T", "D").iconPath, "C:\\k.ico");
    EXPECT_EQ(FileTypeArguments("uls", "/usr/bin/kloxmere", "", "T", "D").iconPath,
              "/usr/bin/kloxmere");
}

TEST(RegisterFileType, FourRegistryEntriesInOrder) {
    FileTypeRegistration r =
        FileTypeArguments("uls", "C:\\K\\Kloxmere.exe", "", "Kloxmere", "TA Unit List");
    EXPECT_EQ(
        RegistryEntries(r),
        (std::vector<RegistryEntry>{{".uls", "Kloxmere"},
                                    {"Kloxmere", "TA Unit List"},
                                    {"Kloxmere\\DefaultIcon", "C:\\K\\Kloxmere.exe,0"},
                                    {"Kloxmere\\shell\\open\\command", "C:\\K\\Kloxmere.exe %1"}}));
}

// The XDG places hold the association on Linux; Windows has the registry, and
// these tests use shell scripts, symbolic links and POSIX environment calls.
#ifndef _WIN32
TEST(XdgAssociation, DesktopExecArgumentsAreQuotedOnlyWhenTheyNeedIt) {
    EXPECT_EQ(DesktopExecArgument("/usr/bin/kloxmere"), "/usr/bin/kloxmere");
    EXPECT_EQ(DesktopExecArgument("/opt/my games/kloxmere"), "\"/opt/my games/kloxmere\"");
    EXPECT_EQ(DesktopExecArgument("/opt/100%/k"), "/opt/100%%/k");
    // Inside quotes a backslash is escaped, and again as the key's string value.
    EXPECT_EQ(DesktopExecArgument("/a\\b \"c\""), "\"/a\\\\\\\\b \\\\\"c\\\\\"\"");
}

TEST(XdgAssociation, FilesHoldTheTypeTheProgramAndTheDefault) {
    TempDir temp;
    ToolCalls tools;
    ASSERT_TRUE(WriteXdgAssociation(kStart, {temp.path() / "data", temp.path() / "config"},
                                    tools.runner()));
    EXPECT_EQ(text(temp, "data/mime/packages/kloxmere.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
              "  <mime-type type=\"application/x-kloxmere-uls\">\n"
              "    <comment>TA Unit List</comment>\n"
              "    <glob pattern=\"*.uls\"/>\n"
              "  </mime-type>\n"
              "</mime-info>\n");
    EXPECT_EQ(text(temp, "data/applications/kloxmere.desktop"),
              "[Desktop Entry]\nType=Application\nName=Kloxmere\n"
              "Exec=\"/opt/my games/kloxmere\" %f\nIcon=kloxmere\n"
              "MimeType=application/x-kloxmere-uls;\nTerminal=false\n"
              "Categories=Game;StrategyGame;\n");
    EXPECT_EQ(text(temp, "config/mimeapps.list"),
              "[Default Applications]\napplication/x-kloxmere-uls=kloxmere.desktop\n");
    EXPECT_EQ(tools.calls, (std::vector<std::string>{
                               "update-mime-database " + temp.str() + "data/mime",
                               "update-desktop-database " + temp.str() + "data/applications"}));
}

TEST(XdgAssociation, ASecondStartWritesNothingAndAMovedProgramRewritesOnlyItsEntry) {
    TempDir temp;
    const XdgPlaces places{temp.path() / "data", temp.path() / "config"};
    ToolCalls first;
    ASSERT_TRUE(WriteXdgAssociation(kStart, places, first.runner()));
    const fs::path desktop = temp.path() / "data/applications/kloxmere.desktop";
    const fs::path package = temp.path() / "data/mime/packages/kloxmere.xml";
    const fs::path list = temp.path() / "config/mimeapps.list";
    const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const fs::path& file : {desktop, package, list}) fs::last_write_time(file, stamp);

    ToolCalls second;
    ASSERT_TRUE(WriteXdgAssociation(kStart, places, second.runner()));
    EXPECT_TRUE(second.calls.empty());
    for (const fs::path& file : {desktop, package, list}) {
        EXPECT_EQ(fs::last_write_time(file), stamp) << file;
    }

    ToolCalls moved;
    FileTypeRegistration elsewhere = kStart;
    elsewhere.programPath = "/usr/bin/kloxmere";
    ASSERT_TRUE(WriteXdgAssociation(elsewhere, places, moved.runner()));
    EXPECT_EQ(moved.calls, std::vector<std::string>{"update-desktop-database " + temp.str() +
                                                    "data/applications"});
    EXPECT_NE(text(temp, "data/applications/kloxmere.desktop").find("Exec=/usr/bin/kloxmere %f"),
              std::string::npos);
    EXPECT_EQ(fs::last_write_time(package), stamp);
}

TEST(XdgAssociation, MimeAppsKeepsEveryOtherEntry) {
    const std::string before =
        "[Added Associations]\n"
        "application/x-kloxmere-uls=other.desktop;\n"
        "\n"
        "[Default Applications]\n"
        "text/plain=gedit.desktop\n"
        "application/x-kloxmere-uls=other.desktop\n"
        "image/png=eog.desktop\n";
    EXPECT_EQ(MimeAppsWithDefault(before, "application/x-kloxmere-uls", "kloxmere.desktop"),
              "[Added Associations]\n"
              "application/x-kloxmere-uls=other.desktop;\n"
              "\n"
              "[Default Applications]\n"
              "text/plain=gedit.desktop\n"
              "application/x-kloxmere-uls=kloxmere.desktop\n"
              "image/png=eog.desktop\n");
    // A new entry joins the end of the defaults group, before the next group.
    EXPECT_EQ(MimeAppsWithDefault("[Default Applications]\ntext/plain=a.desktop\n\n"
                                  "[Removed Associations]\nimage/png=b.desktop",
                                  "application/x-kloxmere-uls", "kloxmere.desktop"),
              "[Default Applications]\ntext/plain=a.desktop\n"
              "application/x-kloxmere-uls=kloxmere.desktop\n\n"
              "[Removed Associations]\nimage/png=b.desktop\n");
    EXPECT_EQ(MimeAppsWithDefault("[Added Associations]\ntext/plain=a.desktop;\n",
                                  "application/x-kloxmere-uls", "kloxmere.desktop"),
              "[Added Associations]\ntext/plain=a.desktop;\n\n[Default Applications]\n"
              "application/x-kloxmere-uls=kloxmere.desktop\n");
}

TEST(XdgAssociation, ALinkedMimeAppsListIsWrittenThroughItsLink) {
    TempDir temp;
    temp.write("dotfiles/mimeapps.list", "[Default Applications]\ntext/plain=a.desktop\n");
    fs::create_directories(temp.path() / "config");
    fs::create_symlink(temp.path() / "dotfiles/mimeapps.list",
                       temp.path() / "config/mimeapps.list");
    ToolCalls tools;
    ASSERT_TRUE(WriteXdgAssociation(kStart, {temp.path() / "data", temp.path() / "config"},
                                    tools.runner()));
    EXPECT_TRUE(fs::is_symlink(temp.path() / "config/mimeapps.list"));
    EXPECT_EQ(text(temp, "dotfiles/mimeapps.list"),
              "[Default Applications]\ntext/plain=a.desktop\n"
              "application/x-kloxmere-uls=kloxmere.desktop\n");
}

TEST(XdgAssociation, AnUnwritableDataDirectoryFailsQuietlyAndTouchesNothingElse) {
    TempDir temp;
    temp.write("data", "a file where the directory should be");
    ToolCalls tools;
    EXPECT_FALSE(WriteXdgAssociation(kStart, {temp.path() / "data", temp.path() / "config"},
                                     tools.runner()));
    EXPECT_FALSE(temp.exists("config/mimeapps.list"));
    EXPECT_TRUE(tools.calls.empty());
}

TEST(XdgAssociation, PlacesFollowTheEnvironmentWithTheSpecifiedDefaults) {
    struct Restore {
        std::string name;
        std::optional<std::string> value;
        ~Restore() {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    };
    std::vector<Restore> restore;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        const char* value = std::getenv(name);
        restore.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
    }
    setenv("HOME", "/home/u", 1);
    setenv("XDG_DATA_HOME", "/x/data", 1);
    setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored
    auto places = XdgPlacesFromEnvironment();
    ASSERT_TRUE(places);
    EXPECT_EQ(places->dataHome, "/x/data");
    EXPECT_EQ(places->configHome, "/home/u/.config");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(XdgPlacesFromEnvironment()->dataHome, "/home/u/.local/share");
    unsetenv("HOME");
    EXPECT_FALSE(XdgPlacesFromEnvironment());
}

TEST(XdgAssociation, ToolsRunOnlyWhenFoundOnThePath) {
    TempDir temp;
    const std::string marker = temp.file("ran");
    temp.write("bin/update-mime-database", "#!/bin/sh\necho \"$1\" > '" + marker + "'\n");
    fs::permissions(temp.path() / "bin/update-mime-database", fs::perms::owner_all);
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    setenv("PATH", (temp.str() + "bin").c_str(), 1);
    RunToolIfPresent("update-desktop-database", "/nowhere");  // absent: nothing happens
    RunToolIfPresent("update-mime-database", "/some/mime");
    setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(text(temp, "ran"), "/some/mime\n");
}
#endif  // _WIN32

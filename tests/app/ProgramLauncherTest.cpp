#include "app/ProgramLauncher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
namespace fs = std::filesystem;

namespace {

// Puts `directory` in front of nothing else on PATH for the test's lifetime.
class PathOverride {
  public:
    explicit PathOverride(const std::string& path) {
        if (const char* old = std::getenv("PATH")) m_old = old;
        ::setenv("PATH", path.c_str(), 1);
    }
    ~PathOverride() { ::setenv("PATH", m_old.c_str(), 1); }

  private:
    std::string m_old;
};

void writeScript(const TempDir& temp, const std::string& name, const std::string& body) {
    temp.write(name, "#!/bin/sh\n" + body);
    ::chmod(temp.file(name).c_str(), 0755);
}

// A script that records its working directory and arguments, one a line,
// in `record`, then makes `record`.done. Shell built-ins only: the tests'
// PATH holds nothing else.
std::string recorder(const std::string& record) {
    return "{ pwd; for a in \"$@\"; do echo \"$a\"; done; } > '" + record + "'\n: > '" + record +
           ".done'\n";
}

std::vector<std::string> waitForLines(const std::string& path) {
    for (int i = 0; i < 3000 && !fs::exists(path + ".done"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct LauncherTest : ::testing::Test {
    TempDir temp;
    void SetUp() override {
        for (const char* dir : {"bin", "viewer dir", "empty"})
            fs::create_directories(temp.path() / dir);
        temp.write("viewer dir/View.EXE", "MZ");
    }
};

}  // namespace

TEST_F(LauncherTest, AWindowsProgramRunsUnderWineInItsDirectory) {
    writeScript(temp, "bin/wine", recorder(temp.file("record")));
    PathOverride path(temp.file("empty") + "::" + temp.file("bin"));
    const fs::path before = fs::current_path();
    const std::string viewer = temp.file("viewer dir/View.EXE");
    EXPECT_EQ(LaunchProgram({"open", viewer, "", temp.file("viewer dir")}), LaunchOutcome::Started);
    EXPECT_EQ(waitForLines(temp.file("record")),
              (std::vector<std::string>{temp.file("viewer dir"), viewer}));
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(LauncherTest, WithoutWineOneMessageSaysItIsNeeded) {
    PathOverride path(temp.file("empty"));
    RecordingServices services;
    const std::string viewer = temp.file("viewer dir/View.EXE");
    EXPECT_FALSE(LaunchAndExplain({"open", viewer, "", temp.file("viewer dir")}, services));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("Wine is needed to start " + viewer),
              std::string::npos);
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(LauncherTest, OtherProgramsStartDirectlyAndFailuresAreQuiet) {
    writeScript(temp, "viewer dir/viewer.sh", recorder(temp.file("record")));
    PathOverride path(temp.file("empty"));  // no wine needed
    RecordingServices services;
    EXPECT_TRUE(LaunchAndExplain(
        {"open", temp.file("viewer dir/viewer.sh"), "-a  b", temp.file("viewer dir")}, services));
    EXPECT_EQ(waitForLines(temp.file("record")),
              (std::vector<std::string>{temp.file("viewer dir"), "-a", "b"}));

    temp.write("plain.txt", "not a program");
    EXPECT_EQ(LaunchProgram({"open", temp.file("plain.txt"), "", temp.str()}),
              LaunchOutcome::NotStarted);
    EXPECT_EQ(LaunchProgram({"open", temp.file("missing"), "", temp.str()}),
              LaunchOutcome::NotStarted);
    EXPECT_EQ(LaunchProgram({"open", temp.file("viewer dir/viewer.sh"), "", temp.file("gone")}),
              LaunchOutcome::NotStarted);
    EXPECT_TRUE(services.messages.empty());
}

TEST(LaunchCommandTest, ExeInAnyCaseIsAWindowsProgram) {
    EXPECT_TRUE(IsWindowsProgram("/ta/TOTALA.EXE"));
    EXPECT_TRUE(IsWindowsProgram("/ta/totala.Exe"));
    EXPECT_FALSE(IsWindowsProgram("/ta/totala.exe.sh"));
    EXPECT_FALSE(IsWindowsProgram("exe"));
}

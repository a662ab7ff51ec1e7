// The game guard against a real process that looks like the game. Run on
// its own (the guard sees every process of the machine, so a batch of another
// test running meanwhile would be refused).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "base/FileSystem.h"
#include "catalogue/ArchiveSwitch.h"
#include "catalogue/Enabling.h"
#include "catalogue/GameGuard.h"
#include "catalogue/ViewState.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <windows.h>

#include "base/Environment.h"
#include "base/TextCase.h"
#else
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#endif

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::TempDir;

namespace {

using Strings = std::vector<std::string>;

// rev.hpi (ARMCOM), mod.ufo (MOD1), old.xufo (OLD); the journal in its own
// user data directory.
struct Switching {
    TempDir dir, home;
    SwitchHomeScope scope{home.str()};
    CatalogueBuilder b;

    Switching() {
        for (const char* name : {"rev.hpi", "mod.ufo", "old.xufo"}) dir.write(name, name);
        b.unit(b.archive(dir.file("rev.hpi")), "ARMCOM");
        b.unit(b.archive(dir.file("mod.ufo")), "MOD1");
        b.unit(b.archive(dir.file("old.xufo")), "OLD");
    }

    Strings files() const {
        Strings names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(Utf8FromPath(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace

#ifndef _WIN32
namespace {

// A process that looks like the game, ended with the object: bash running
// `script`, with `argument` (when given) among its arguments.
class FakeGame {
  public:
    explicit FakeGame(const char* script, const char* argument = nullptr) {
        m_pid = fork();
        if (m_pid == 0) {
            setpgid(0, 0);  // ended as a group, with the sleep bash starts
            execlp("bash", "bash", "-c", script, "fake", argument, static_cast<char*>(nullptr));
            _exit(127);
        }
        setpgid(m_pid, m_pid);  // either side may come first
    }
    ~FakeGame() {
        kill(-m_pid, SIGKILL);
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    pid_t pid() const { return m_pid; }

  private:
    pid_t m_pid;
};

// The guard's answer once the process has started as `name`.
std::optional<RunningGame> awaitGame(pid_t pid, const std::string& name) {
    for (int i = 0; i < 500; ++i) {
        auto game = FindRunningGame();
        if (game && game->pid == static_cast<unsigned long>(pid) && game->name == name) {
            return game;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

}  // namespace

TEST(GameGuard, NoArchiveIsRenamedWhileTheGameRuns) {
    Switching s;
    {
        FakeGame game("exec -a totala.exe sleep 30");
        ASSERT_TRUE(awaitGame(game.pid(), "totala.exe"));
        RenameReport refused = SetSelectionEnabled(s.b.catalogue, ViewState(), false);
        EXPECT_EQ(refused.refusal, "TA is running (process " + std::to_string(game.pid()) +
                                       ", totala.exe): close the game before switching archives.");
        EXPECT_TRUE(refused.renamed.empty());
    }
    {
        // The game under Wine: its Windows path is an argument of the process.
        FakeGame wine("sleep 30; true", "C:\\Games\\TA\\TotalA.exe");
        ASSERT_TRUE(awaitGame(wine.pid(), "TotalA.exe"));
        RenameReport refused = SetUnitEnabled(*s.b.catalogue.UnitList.Item(1), false);
        EXPECT_NE(refused.refusal.find("TotalA.exe): close the game"), std::string::npos);
    }
    EXPECT_EQ(s.files(), (Strings{"mod.ufo", "old.xufo", "rev.hpi"}));
    EXPECT_TRUE(ReadJournal(s.home.str()).empty());
    // Once the game has ended, switching goes on.
    EXPECT_EQ(SetUnitEnabled(*s.b.catalogue.UnitList.Item(1), false).renamed.size(), 1u);
}

// Processes come and go while the guard reads /proc: one that ends between
// the listing and the reading is passed over, never an error.
TEST(GameGuard, ProcessesEndingWhileTheGuardLooksAreNoError) {
    std::atomic<bool> done{false};
    std::thread churn([&] {
        for (unsigned round = 0; !done; ++round) {
            pid_t children[16];
            for (unsigned i = 0; i < 16; ++i) {
                children[i] = fork();
                if (children[i] == 0) {
                    usleep((round * 16 + i) % 7 * 150);
                    _exit(0);
                }
            }
            for (pid_t child : children) {
                if (child > 0) waitpid(child, nullptr, 0);
            }
        }
    });
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    int looks = 0;
    while (std::chrono::steady_clock::now() < until) {
        EXPECT_NO_THROW(FindRunningGame());
        ++looks;
    }
    done = true;
    churn.join();
    EXPECT_GT(looks, 0);
}
#else
TEST(GameGuard, NoArchiveIsRenamedWhileTheGameRuns) {
    Switching s;
    std::wstring command = WideFromUtf8(KLOXMERE_GAME_STAND_IN);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION game{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &game));
    std::optional<RunningGame> found;
    for (int i = 0; i < 100 && !found; ++i) {
        found = FindRunningGame();
        if (!found) Sleep(20);
    }
    RenameReport refused = SetSelectionEnabled(s.b.catalogue, ViewState(), false);
    TerminateProcess(game.hProcess, 0);
    WaitForSingleObject(game.hProcess, 5000);
    CloseHandle(game.hThread);
    CloseHandle(game.hProcess);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->pid, game.dwProcessId);
    EXPECT_TRUE(EqualsNoCase(found->name, "totala.exe"));
    EXPECT_NE(refused.refusal.find("close the game before switching archives."), std::string::npos);
    EXPECT_EQ(s.files(), (Strings{"mod.ufo", "old.xufo", "rev.hpi"}));
}
#endif

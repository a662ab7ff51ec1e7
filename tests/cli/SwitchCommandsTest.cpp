// Archive switches from the command line end to end: a batch killed at each
// of its renames and recovered either way, undo, and two programs at once.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "catalogue/SwitchLock.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
using Json = nlohmann::json;
using Names = std::set<std::string>;

namespace {

const Names kStart{"a.hpi", "b.xhpi", "c.ufo", "d.ccx", "e.hpi"};
const Names kEnd{"a.xhpi", "b.hpi", "c.xufo", "d.xccx", "e.xhpi"};

// A TA directory of five archives and a schema switching every one of them.
struct SwitchCli {
    TempDir root, scratch;
    std::string ta = root.str() + "ta";
    std::string home = root.str() + "home";

    SwitchCli() {
        std::filesystem::create_directories(root.path() / "ta");
        for (const std::string& name : kStart) {
            root.write("ta/" + name, name);
        }
        root.write("flip.uls", "a.xhpi\r\nb.hpi\r\nc.xufo\r\nd.xccx\r\ne.xhpi\r\n");
    }

    std::string options() const { return "--ta " + Quoted(ta) + " --home " + Quoted(home) + " "; }
    CliResult run(const std::string& arguments) const {
        return RunCli(scratch, options() + arguments);
    }
    CliResult seamed(const std::string& arguments, const std::string& seam) const {
        return RunProgram(KLOXMERE_SEAMED_CLI, scratch, options() + arguments,
                          {{"KLOXMERE_TEST_RENAME_SEAM", seam}});
    }
    Names names() const {
        Names found;
        for (const auto& entry : std::filesystem::directory_iterator(root.path() / "ta")) {
            found.insert(entry.path().filename().string());
        }
        return found;
    }
    Json history() const {
        CliResult result = run("--json history");
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return Json::parse(result.out);
    }
};

}  // namespace

TEST(CliSwitch, ABatchKilledAtAnyRenameRecoversEitherWay) {
    for (int index = 0; index < 5; ++index) {
        for (const char* when : {"before", "after"}) {
            for (bool finish : {true, false}) {
                SCOPED_TRACE(std::to_string(index) + " " + when + (finish ? " finish" : " undo"));
                SwitchCli cli;
                std::string seam = std::to_string(index) + ":" + when + ":kill";
                EXPECT_NE(
                    cli.seamed("schema apply " + Quoted(cli.root.file("flip.uls")), seam).exitCode,
                    0);
                EXPECT_EQ(cli.history()[0]["state"], "interrupted");

                // Renaming commands refuse, naming the ways out; reading ones warn once.
                CliResult refused = cli.run("schema apply " + Quoted(cli.root.file("flip.uls")));
                EXPECT_EQ(refused.exitCode, 1);
                EXPECT_NE(refused.err.find("recover --finish"), std::string::npos);
                EXPECT_NE(refused.err.find("recover --undo"), std::string::npos);
                CliResult reading = cli.run("history");
                EXPECT_EQ(reading.exitCode, 0);
                EXPECT_EQ(std::count(reading.err.begin(), reading.err.end(), '\n'), 1);
                EXPECT_NE(reading.err.find("warning"), std::string::npos);

                CliResult recovered = cli.run(finish ? "recover --finish" : "recover --undo");
                EXPECT_EQ(recovered.exitCode, 0) << recovered.err;
                EXPECT_EQ(cli.names(), finish ? kEnd : kStart);
                EXPECT_EQ(cli.history()[0]["state"], finish ? "complete" : "undone");
                EXPECT_EQ(cli.run("recover --finish").exitCode, 1);  // nothing left
                EXPECT_TRUE(cli.run("history").err.empty());
            }
        }
    }
}

TEST(CliSwitch, UndoReversesBatchesNewestFirstAndNeverAnUndo) {
    SwitchCli cli;
    ASSERT_EQ(cli.run("schema apply " + Quoted(cli.root.file("flip.uls"))).exitCode, 0);
    cli.root.write("one.uls", "a.hpi\r\n");
    ASSERT_EQ(cli.run("schema apply " + Quoted(cli.root.file("one.uls"))).exitCode, 0);

    CliResult first = cli.run("undo");
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.out, "renamed a.hpi -> a.xhpi\n");
    EXPECT_EQ(cli.run("--json undo").exitCode, 0);
    EXPECT_EQ(cli.names(), kStart);
    CliResult none = cli.run("undo");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(std::count(none.err.begin(), none.err.end(), '\n'), 1);

    Json history = cli.history();
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history[0]["command"], "Undo Apply Schema flip.uls");
    EXPECT_EQ(history[0]["undoes"], 1);
    EXPECT_EQ(history[2]["state"], "undone");
    EXPECT_EQ(history[3]["renames"][0]["outcome"], "done");
}

TEST(CliSwitch, AnUndoFindingBothNamesKeepsBothAndFails) {
    SwitchCli cli;
    ASSERT_EQ(cli.run("schema apply " + Quoted(cli.root.file("flip.uls"))).exitCode, 0);
    cli.root.write("ta/a.hpi", "a copy put back");
    CliResult undo = cli.run("--json undo");
    EXPECT_EQ(undo.exitCode, 1);
    Json report = Json::parse(undo.out);
    ASSERT_EQ(report["refused"].size(), 1u);
    EXPECT_EQ(report["renamed"].size(), 4u);
    EXPECT_TRUE(cli.names().count("a.hpi") && cli.names().count("a.xhpi"));
}

TEST(CliSwitch, AnUndoRecoveredBackwardsLeavesItsBatchUndoableAgain) {
    SwitchCli cli;
    ASSERT_EQ(cli.run("schema apply " + Quoted(cli.root.file("flip.uls"))).exitCode, 0);
    EXPECT_NE(cli.seamed("undo", "2:before:kill").exitCode, 0);
    ASSERT_EQ(cli.run("recover --undo").exitCode, 0);
    EXPECT_EQ(cli.names(), kEnd);
    EXPECT_EQ(cli.run("undo").exitCode, 0);
    EXPECT_EQ(cli.names(), kStart);
}

TEST(CliSwitch, ASecondProgramWaitsForTheFirstThenSwitches) {
    SwitchCli cli;
    TempDir scratch2;
    cli.root.write("ta/f.hpi", "f");
    cli.root.write("one.uls", "f.xhpi\r\n");
    // The first pauses two seconds at its rename, holding the lock.
    auto first = std::async(std::launch::async, [&] {
        return cli.seamed("schema apply " + Quoted(cli.root.file("flip.uls")), "2:before:pause");
    });
    // It holds the lock once its first renames are done; a busy machine may
    // take a while to get it there.
    Names start = kStart;
    start.insert("f.hpi");
    for (int i = 0; i < 600 && cli.names() == start; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(cli.names(), start);
    auto started = std::chrono::steady_clock::now();
    CliResult second =
        RunCli(scratch2, cli.options() + "schema apply " + Quoted(cli.root.file("one.uls")));
    auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(first.get().exitCode, 0);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_GE(waited, std::chrono::milliseconds(500));
    Names end = kEnd;
    end.insert("f.xhpi");
    EXPECT_EQ(cli.names(), end);
    EXPECT_EQ(cli.history().size(), 2u);
}

TEST(CliSwitch, ALockHeldTooLongRefusesHavingRenamedNothing) {
    SwitchCli cli;
    SwitchLock held(cli.home, std::chrono::milliseconds(0));
    ASSERT_TRUE(held.held());
    CliResult refused = cli.run("schema apply " + Quoted(cli.root.file("flip.uls")));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("another Kloxmere is switching archives"), std::string::npos);
    EXPECT_EQ(cli.names(), kStart);
}

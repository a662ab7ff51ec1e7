// What both programs say about themselves: the version, the information
// arguments, and where kloxmere-cli keeps its files.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/DemoInstallation.h"
#include "app/ProgramInformation.h"
#include "base/FileSystem.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;

TEST(ProgramInformation, OnlyALoneInformationArgumentEndsTheProgram) {
    EXPECT_EQ(VersionLine(), "Kloxmere 1.0.0");
    EXPECT_EQ(ReadInformationRequest({"--version"}), InformationRequest::Version);
    EXPECT_EQ(ReadInformationRequest({"--help"}), InformationRequest::Help);
    EXPECT_EQ(ReadInformationRequest({"-h"}), InformationRequest::Help);
    // A schema file, no argument, or more than one argument start the program normally.
    EXPECT_EQ(ReadInformationRequest({}), InformationRequest::None);
    EXPECT_EQ(ReadInformationRequest({"my schema.uls"}), InformationRequest::None);
    EXPECT_EQ(ReadInformationRequest({"--version", "a.uls"}), InformationRequest::None);
    EXPECT_EQ(ReadInformationRequest({"--VERSION"}), InformationRequest::None);
}

TEST(CliInformation, VersionNeedsNoCommand) {
    TempDir scratch;
    CliResult result = RunCli(scratch, "--version");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Kloxmere 1.0.0\n");
}

TEST(CliInformation, PathsNameTheFilesACommandWouldUse) {
    TempDir root, scratch;
    const std::string ta = root.str() + "ta/";
    const std::string home = root.str() + "home/";
    WriteDemoInstallation(ta);

    CliResult found =
        RunCli(scratch, "--ta " + Quoted(ta) + " --home " + Quoted(home) + " --json paths");
    ASSERT_EQ(found.exitCode, 0) << found.err;
    nlohmann::json paths = nlohmann::json::parse(found.out);
    EXPECT_EQ(paths["userDataDirectory"], home);
    EXPECT_EQ(paths["unitGroups"], home + "unitgroups.dat");
    EXPECT_EQ(paths["taDirectory"], ta);
    // The build tree is a portable layout: the program directory is the executable's.
    EXPECT_EQ(paths["programDirectory"].get<std::string>().back(), NativeSeparator());
    EXPECT_NE(paths["settings"].get<std::string>().find("Kloxmere"), std::string::npos);

    // No TA directory anywhere is an answer, not a failure.
    CliResult missing =
        RunCli(scratch, "--home " + Quoted(home) + " --json paths",
               {{"KLOXMERE_TA_DIR", std::nullopt}, {"WINEPREFIX", root.str() + "none"}});
    ASSERT_EQ(missing.exitCode, 0) << missing.err;
    EXPECT_TRUE(nlohmann::json::parse(missing.out)["taDirectory"].is_null());
}

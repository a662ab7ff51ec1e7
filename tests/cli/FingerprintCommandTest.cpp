// kloxmere-cli fingerprint end to end, on the demo installation.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/DemoInstallation.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
using Json = nlohmann::json;

TEST(CliFingerprint, PrintsTheCodeAndEachEnabledArchivesDigest) {
    TempDir root, scratch;
    std::string ta = root.str() + "ta/";
    WriteDemoInstallation(ta);
    std::string options = "--ta " + Quoted(ta) + " --home " + Quoted(root.str() + "home/");

    CliResult json = RunCli(scratch, options + " fingerprint --json");
    ASSERT_EQ(json.exitCode, 0) << json.err;
    Json result = Json::parse(json.out);
    std::string code = result["fingerprint"];
    EXPECT_EQ(code.size(), 9u);
    ASSERT_EQ(result["archives"].size(), 3u);  // retro.xufo is disabled
    for (const Json& archive : result["archives"]) {
        EXPECT_NE(archive["name"], "retro.xufo");
        EXPECT_EQ(archive["hash"].get<std::string>().find_first_not_of("0123456789abcdef"),
                  std::string::npos);
        EXPECT_EQ(archive["hash"].get<std::string>().size(), 16u);
    }

    CliResult text = RunCli(scratch, options + " fingerprint");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out.substr(0, 10), code + "\n");
    std::string first = result["archives"][0]["hash"].get<std::string>() + "  " +
                        result["archives"][0]["name"].get<std::string>();
    EXPECT_NE(text.out.find(first), std::string::npos) << text.out;

    // Enabling the fourth archive (through one of its units) changes the code.
    ASSERT_EQ(RunCli(scratch, options + " enable --unit RETROGUN").exitCode, 0);
    Json after = Json::parse(RunCli(scratch, options + " fingerprint --json").out);
    EXPECT_NE(after["fingerprint"], code);
    EXPECT_EQ(after["archives"].size(), 4u);
}

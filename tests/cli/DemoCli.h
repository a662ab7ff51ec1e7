#pragma once

// kloxmere-cli run on a fresh demo installation of its own, with a user data
// directory of its own: what the end-to-end command tests start from.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "app/DemoInstallation.h"
#include "base/FileSystem.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempDir.h"

namespace kloxmere::test {

struct DemoCli {
    TempDir root, scratch;
    std::string ta = root.str() + "ta/";
    std::string home = root.str() + "home/";

    DemoCli() { WriteDemoInstallation(ta); }

    CliResult run(const std::string& arguments) const {
        return RunCli(scratch, "--ta " + Quoted(ta) + " --home " + Quoted(home) + " " + arguments);
    }
    // The JSON printed by a command that must succeed.
    nlohmann::json json(const std::string& arguments) const {
        CliResult result = run("--json " + arguments);
        EXPECT_EQ(result.exitCode, 0) << arguments << ": " << result.err;
        return nlohmann::json::parse(result.out);
    }
    // Whether a file of that name is in the TA directory now.
    bool exists(const std::string& name) const {
        return std::filesystem::exists(PathFromUtf8(ta + name));
    }
};

}  // namespace kloxmere::test

#pragma once

// Runs the built kloxmere-cli with a command line, capturing its exit code,
// standard output and standard error.

#include <optional>
#include <string>
#include <vector>

namespace kloxmere::test {

class TempDir;

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// One change to the environment the program starts with: `value` nullopt
// removes the variable.
struct EnvChange {
    std::string name;
    std::optional<std::string> value;
};

// `arguments` is the command line after the program's name, as it stands;
// quote paths in it with Quoted(). The output files go to `scratch`.
CliResult RunCli(const TempDir& scratch, const std::string& arguments,
                 const std::vector<EnvChange>& environment = {});

// The same for another program (a test build of kloxmere-cli).
CliResult RunProgram(const std::string& program, const TempDir& scratch,
                     const std::string& arguments, const std::vector<EnvChange>& environment = {});

// `text` as one argument of a command line: in single quotes for the POSIX
// shell; on Windows in double quotes, as CommandLineToArgvW splits them.
std::string Quoted(const std::string& text);

}  // namespace kloxmere::test

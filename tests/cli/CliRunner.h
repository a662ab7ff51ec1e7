#pragma once

// Runs the built kloxmere-cli with a command line, capturing its exit code,
// standard output and standard error.

#include <string>

namespace kloxmere::test {

class TempDir;

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `arguments` is passed to the shell as it stands; quote paths in it.
// `environment`, when given, stands before the program (e.g. "env -u VAR").
// The output files go to `scratch`.
CliResult RunCli(const TempDir& scratch, const std::string& arguments,
                 const std::string& environment = "");

// `text` in single quotes for the shell.
std::string Quoted(const std::string& text);

}  // namespace kloxmere::test

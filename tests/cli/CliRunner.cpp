#include "tests/cli/CliRunner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/TempDir.h"

namespace kloxmere::test {

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

CliResult RunCli(const TempDir& scratch, const std::string& arguments,
                 const std::string& environment) {
    std::string outFile = scratch.file("stdout.txt"), errFile = scratch.file("stderr.txt");
    std::string command = environment + " " + Quoted(KLOXMERE_CLI) + " " + arguments + " >" +
                          Quoted(outFile) + " 2>" + Quoted(errFile);
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(outFile), slurp(errFile)};
}

}  // namespace kloxmere::test

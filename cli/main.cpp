// kloxmere-cli: the command-line front end. The command groups register
// their subcommands; this file parses, dispatches and maps failures to exit
// codes: 0 success, 1 a command failed (bad or missing input, damaged
// archive, unwritable output), 2 the command line was wrong.

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/ProgramInformation.h"
#include "base/ProgramHeap.h"
#include "cli/CommandErrors.h"
#include "cli/CommandGroups.h"
#ifdef KLOXMERE_TEST_SEAMS
#include "tests/cli/RenameSeam.h"
#endif

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "base/Environment.h"
#endif

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Messages go out on one line, whatever the error carried.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

// The arguments as UTF-8. Windows hands main() its arguments in the ANSI
// code page, which loses every character outside it (a Cyrillic or CJK file
// name), so there they are read again as wide characters.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        std::vector<std::string> arguments;
        for (int i = 0; i < count; ++i) arguments.push_back(kloxmere::Utf8FromWide(wide[i]));
        LocalFree(wide);
        return arguments;
    }
#endif
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
    kloxmere::PrepareProgramHeap();
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);  // the output is UTF-8 text
#endif
#ifdef KLOXMERE_TEST_SEAMS
    kloxmere::test::InstallRenameSeam();  // only in the tests' build of the program
#endif
    std::vector<std::string> arguments = utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());

    CLI::App app("Looks after the units of a TA installation", "kloxmere-cli");
    app.set_version_flag("--version", kloxmere::VersionLine(), "Print the version and exit");
    app.require_subcommand(1);
    for (auto registerGroup : kloxmere::cli::CommandGroups()) registerGroup(app);

    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
        return 0;
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : kUsage;  // --help exits with 0
    } catch (const kloxmere::cli::UsageError& e) {
        std::cerr << "kloxmere-cli: " << oneLine(e.what()) << '\n';
        return kUsage;
    } catch (const std::exception& e) {
        std::cerr << "kloxmere-cli: " << oneLine(e.what()) << '\n';
        return kFailed;
    }
}

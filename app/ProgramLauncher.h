#pragma once

// Starts another program, as the shell's "open" does for the game and for
// the unit viewer. On Windows the shell itself is asked. Elsewhere a program
// whose path ends in ".exe" (any case) is a Windows program: it is started as
// `wine PROGRAM`, with wine found on PATH; any other program is started
// directly. The child gets the working directory asked for; this process's
// own working directory never changes. The child runs on its own: nothing
// waits for it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/PlatformServices.h"

namespace kloxmere {

enum class LaunchOutcome {
    Started,
    NotStarted,   // the program could not be started (missing, not executable, bad directory)
    WineMissing,  // a Windows program, and no wine on PATH
};

// What is executed for a request: the program (an absolute path), its
// arguments after the program itself, and the working directory.
struct LaunchCommand {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingDirectory;
};

// Whether `path` names a Windows program: it ends in ".exe", in any case.
bool IsWindowsProgram(std::string_view path);

// The first executable regular file named `name` in the directories of
// `searchPath` (separated by ':'; empty entries, which would mean the current
// directory, are skipped); nullopt when there is none.
std::optional<std::string> FindOnPath(std::string_view name, std::string_view searchPath);

// The command for `request` outside Windows, with wine looked for on
// `searchPath`; nullopt when wine is needed and not there. The request's
// parameters are split at blanks.
std::optional<LaunchCommand> LaunchCommandFor(const LaunchRequest& request,
                                              std::string_view searchPath);

// Starts the program of `request` (operation "open"), without waiting for it.
LaunchOutcome LaunchProgram(const LaunchRequest& request);

// The message shown when a Windows program needs wine and there is none.
std::string WineNeededMessage(const std::string& program);

// Starts `request` and, when wine is missing, tells the user so through
// `services`; whether the program started. Any other failure is not reported.
bool LaunchAndExplain(const LaunchRequest& request, PlatformServices& services);

}  // namespace kloxmere

#pragma once

// Starts another program, as the shell's "open" does for the game and for
// the unit viewer. On Windows the shell itself is asked. Elsewhere a program
// whose path ends in ".exe" (any case) is a Windows program: it is started as
// `wine PROGRAM`, with wine found on PATH; any other program is started
// directly. A request naming the TA installation is started as the game's
// own launcher would: the game of a Steam library through Steam (or the
// Flatpak Steam), a Windows program inside the installation's Wine prefix
// with WINEPREFIX set to it. The child gets the working directory asked for;
// this process's own working directory never changes. The child runs on its
// own: nothing waits for it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/PlatformServices.h"

namespace kloxmere {

enum class LaunchOutcome {
    Started,
    NotStarted,      // the program could not be started (missing, not executable, bad directory)
    ProgramMissing,  // the program that starts it (wine, steam, flatpak) is not on PATH
};

// What is executed for a request: the program (an absolute path), its
// arguments after the program itself, the variables set on top of this
// process's environment, and the working directory.
struct LaunchCommand {
    std::string program;  // when `missing`, the bare name that was looked for
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, std::string>> environment;
    std::string workingDirectory;
    bool missing = false;  // the program is needed and not on the search path
};

// Whether `path` names a Windows program: it ends in ".exe", in any case.
bool IsWindowsProgram(std::string_view path);

// The first executable regular file named `name` in the directories of
// `searchPath` (separated by ':'; empty entries, which would mean the current
// directory, are skipped); nullopt when there is none.
std::optional<std::string> FindOnPath(std::string_view name, std::string_view searchPath);

// The command for `request` outside Windows, with wine, steam and flatpak
// looked for on `searchPath`; `home` locates the Flatpak Steam. The request's
// parameters are split at blanks.
LaunchCommand LaunchCommandFor(const LaunchRequest& request, std::string_view searchPath,
                               const std::filesystem::path& home);

// Starts the program of `request` (operation "open"), without waiting for it.
// When it does not start, `reason` (when given) says why.
LaunchOutcome LaunchProgram(const LaunchRequest& request, std::string* reason = nullptr);

// The message shown when a Windows program needs wine and there is none.
std::string WineNeededMessage(const std::string& program);

// The message shown when `program` needs `needed` (steam, flatpak) and there is none.
std::string ProgramNeededMessage(const std::string& needed, const std::string& program);

// Starts `request` and, when it does not start, tells the user why in one
// message through `services`; whether the program started.
bool LaunchAndExplain(const LaunchRequest& request, PlatformServices& services);

}  // namespace kloxmere

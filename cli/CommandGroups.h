#pragma once

// The command groups of kloxmere-cli ("hpi", ...). Each group registers its
// subcommands on the application; main.cpp parses and dispatches. A new
// group adds its registration function to the list in CommandGroups.cpp.

#include <span>

namespace CLI {
class App;
}

namespace kloxmere::cli {

// Adds a group's subcommands to `app`. Their callbacks print results on
// stdout and throw CommandError or UsageError (or the core's errors) on failure.
using RegisterCommandGroup = void (*)(CLI::App& app);

std::span<const RegisterCommandGroup> CommandGroups();

}  // namespace kloxmere::cli

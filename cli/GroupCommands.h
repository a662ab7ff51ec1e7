#pragma once

// kloxmere-cli groups list | add | delete | add-keyword | delete-keyword: the
// user's unit groups, kept in unitgroups.dat in the user data directory.

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace kloxmere::cli {

class CliRun;

void RegisterGroupCommands(CLI::App& app);

// `action` is list, add, delete, add-keyword or delete-keyword; `arguments`
// the group name and, for the keyword actions, the keyword. A name or keyword
// already present (without regard to case) adds nothing. Changes are saved at once.
void GroupsCommand(CliRun& run, const std::string& action,
                   const std::vector<std::string>& arguments, bool json, std::ostream& out);

}  // namespace kloxmere::cli

#pragma once

// The program's command line: one optional argument, a schema file (*.uls)
// to apply to the TA directory before the program ends.

#include <optional>
#include <string>
#include <vector>

namespace kloxmere {

// The command line as one text: the program's arguments joined by blanks.
std::string JoinArguments(const std::vector<std::string>& arguments);

// The schema file a command line names, or nothing when the program is to
// start normally. One trailing double quote is taken away, then one leading
// one; what is left names a schema when its last three characters are "uls"
// in any letter case (so "abc.xuls" counts, and "best.ULS").
std::optional<std::string> SchemaFileArgument(std::string commandLine);

}  // namespace kloxmere

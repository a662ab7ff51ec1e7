#include "app/CommandLine.h"

#include "base/TextCase.h"

namespace kloxmere {

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ' ';
        line += arguments[i];
    }
    return line;
}

std::optional<std::string> SchemaFileArgument(std::string commandLine) {
    if (commandLine.empty()) return std::nullopt;
    if (commandLine.back() == '"') commandLine.pop_back();
    if (!commandLine.empty() && commandLine.front() == '"') commandLine.erase(0, 1);
    if (!EndsWithNoCase(commandLine, "uls")) return std::nullopt;
    return commandLine;
}

}  // namespace kloxmere

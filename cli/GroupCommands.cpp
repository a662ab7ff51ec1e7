#include "cli/GroupCommands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "base/TextCase.h"
#include "catalogue/GroupEditing.h"
#include "catalogue/UnitGroupsFile.h"
#include "cli/CliSession.h"
#include "cli/CommandErrors.h"

namespace kloxmere::cli {

namespace {

using Json = nlohmann::ordered_json;

clsUnitGroup& findGroup(Collection<clsUnitGroup>& groups, const std::string& name) {
    clsUnitGroup* group = groups.Find(name);
    if (!group) throw CommandError("no group '" + name + "'");
    return *group;
}

void printGroups(const Collection<clsUnitGroup>& groups, bool json, std::ostream& out) {
    if (json) {
        Json list = Json::array();
        for (const clsUnitGroup& group : groups) {
            Json keywords = Json::array();
            for (const auto& keyword : group.Keywords) keywords.push_back(keyword);
            list.push_back({{"name", group.Name}, {"keywords", keywords}});
        }
        out << list.dump(2) << '\n';
        return;
    }
    if (groups.empty()) out << "no unit groups\n";
    for (const clsUnitGroup& group : groups) {
        out << group.Name << ":";
        for (const auto& keyword : group.Keywords) out << " " << keyword;
        out << '\n';
    }
}

}  // namespace

void GroupsCommand(CliRun& run, const std::string& action,
                   const std::vector<std::string>& arguments, bool json, std::ostream& out) {
    std::size_t wanted = action == "list" ? 0 : action == "add" || action == "delete" ? 1 : 2;
    if (arguments.size() != wanted) {
        throw UsageError("groups " + action + " takes " + std::to_string(wanted) +
                         (wanted == 1 ? " argument" : " arguments"));
    }
    run.loadGroups();
    Collection<clsUnitGroup>& groups = run.session.catalogue.GroupList;
    bool changed = false;
    if (action == "add") {
        changed = AddGroup(groups, arguments[0]);
    } else if (action == "delete") {
        changed = DeleteGroup(groups, arguments[0]);
        if (!changed) throw CommandError("no group '" + arguments[0] + "'");
    } else if (action == "add-keyword") {
        changed = AddKeyword(findGroup(groups, arguments[0]), arguments[1]);
    } else if (action == "delete-keyword") {
        clsUnitGroup& group = findGroup(groups, arguments[0]);
        for (std::size_t i = 1; i <= group.Keywords.Count() && !changed; ++i) {
            if (EqualsNoCase(group.Keywords.Item(i), arguments[1])) {
                changed = DeleteKeyword(group, i);
            }
        }
        if (!changed)
            throw CommandError("group '" + arguments[0] + "' has no keyword '" + arguments[1] +
                               "'");
    }
    if (changed) {
        std::string reason;
        if (!SaveGroups(groups, run.session.userDataDirectory, &reason)) {
            throw CommandError(reason);
        }
    }
    printGroups(groups, json, out);
}

void RegisterGroupCommands(CLI::App& app) {
    struct Request {
        std::string action;
        std::vector<std::string> arguments;
    };
    auto request = std::make_shared<Request>();
    CLI::App* groups = app.add_subcommand("groups", "List and edit the user's unit groups");
    groups
        ->add_option("ACTION", request->action,
                     "list, add NAME, delete NAME, add-keyword NAME KEYWORD or "
                     "delete-keyword NAME KEYWORD")
        ->required()
        ->check(CLI::IsMember({"list", "add", "delete", "add-keyword", "delete-keyword"}));
    groups->add_option("ARGUMENTS", request->arguments, "The group name and keyword");
    groups->callback([request] {
        CliRun run;
        GroupsCommand(run, request->action, request->arguments, Globals().json, std::cout);
    });
}

}  // namespace kloxmere::cli

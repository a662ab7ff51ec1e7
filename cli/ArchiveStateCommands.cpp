#include "cli/ArchiveStateCommands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "archive/clsHPI.h"
#include "catalogue/Enabling.h"
#include "catalogue/Schemas.h"
#include "cli/CatalogueCommands.h"
#include "cli/CliSession.h"
#include "cli/CommandErrors.h"
#include "units/modGeneric.h"

namespace kloxmere::cli {

namespace {

using Json = nlohmann::ordered_json;

}  // namespace

void PrintRenames(const RenameReport& report, bool json, std::ostream& out) {
    if (!report.refusal.empty()) throw CommandError(report.refusal);
    if (json) {
        Json renamed = Json::array(), refused = Json::array();
        for (const auto& r : report.renamed) renamed.push_back({{"from", r.from}, {"to", r.to}});
        for (const auto& r : report.refused) {
            refused.push_back({{"from", r.from}, {"reason", r.reason}});
        }
        Json document{{"renamed", renamed}, {"refused", refused}};
        if (!report.unchanged.empty()) {
            Json unchanged = Json::array();
            for (const auto& r : report.unchanged) {
                unchanged.push_back({{"from", r.from}, {"to", r.to}, {"reason", r.reason}});
            }
            document["unchanged"] = unchanged;
        }
        out << document.dump(2) << '\n';
    } else {
        for (const auto& r : report.renamed) {
            out << "renamed " << FileTitle(r.from) << " -> " << FileTitle(r.to) << '\n';
        }
        for (const auto& r : report.refused) {
            out << "refused " << FileTitle(r.from) << ": " << r.reason << '\n';
        }
        for (const auto& r : report.unchanged) {
            out << "unchanged " << FileTitle(r.to) << ": " << r.reason << '\n';
        }
        if (report.renamed.empty() && report.refused.empty() && report.unchanged.empty()) {
            out << "nothing to rename\n";
        }
    }
    if (!report.refused.empty()) {
        throw CommandError(std::to_string(report.refused.size()) +
                           (report.refused.size() == 1 ? " rename was" : " renames were") +
                           " refused; those archives kept their names");
    }
}

void EnableCommand(CliRun& run, const EnableRequest& request, bool json, std::ostream& out) {
    if (request.unit.empty() == request.node.empty()) {
        throw UsageError("give either --unit KEY or --node KEY");
    }
    run.scan();
    Catalogue& catalogue = run.session.catalogue;
    if (!request.unit.empty()) {
        PrintRenames(SetUnitEnabled(FindUnit(catalogue, request.unit), request.enable), json, out);
        return;
    }
    run.loadGroups();
    run.session.view.CurrentTab = TabIndex(request.tab);
    SelectNode(run, request.node);
    PrintRenames(SetSelectionEnabled(catalogue, run.session.view, request.enable), json, out);
}

void SchemaExportCommand(CliRun& run, const std::string& path, bool json, std::ostream& out) {
    run.scan();
    std::string reason;
    if (!ExportSchema(run.session.catalogue, path, &reason)) throw CommandError(reason);
    std::size_t count = run.session.catalogue.ArchiveList.Count();
    if (json) {
        out << Json{{"schema", path}, {"archives", count}}.dump(2) << '\n';
    } else {
        out << "Wrote the state of " << count << " archives to " << path << '\n';
    }
}

void SchemaImportCommand(CliRun& run, const std::string& path, bool json, std::ostream& out) {
    run.scan();
    SchemaResult result = ImportSchema(run.session.catalogue, run.services, path);
    if (!result.read) throw CommandError(result.problem);
    PrintRenames(result.renames, json, out);
}

void SchemaApplyCommand(CliRun& run, const std::string& path, bool json, std::ostream& out) {
    SchemaResult result = ApplySchemaFile(path, run.requireTADirectory(), run.services);
    if (!result.read) throw CommandError(result.problem);
    PrintRenames(result.renames, json, out);
}

void UdfSaveCommand(CliRun& run, const std::string& key, const std::string& path, bool json,
                    std::ostream& out) {
    run.scan();
    clsUnit& unit = FindUnit(run.session.catalogue, key);
    if (!unit.Group || !unit.Group->SaveList(path, run.services)) {
        throw CommandError(run.services.failures().empty() ? "the list could not be saved"
                                                           : run.services.failures().back());
    }
    std::string archive = FileTitle(unit.Group->HPI->Filename);
    if (json) {
        out << Json{{"list", path}, {"archive", archive}}.dump(2) << '\n';
    } else {
        out << "Saved the fast-load list of " << archive << " to " << path << '\n';
    }
}

void RegisterArchiveStateCommands(CLI::App& app) {
    for (bool enable : {true, false}) {
        auto request = std::make_shared<EnableRequest>();
        request->enable = enable;
        CLI::App* command =
            app.add_subcommand(enable ? "enable" : "disable",
                               enable ? "Enable the archives of a unit or of a tree node's units"
                                      : "Disable the archives of a unit or of a tree node's units");
        command->add_option("--unit", request->unit, "A unit's key (or name when unique)");
        command->add_option("--node", request->node, "A tree node's key (see tree)");
        command->add_option("--tab", request->tab, "With --node: units or conflicts")
            ->check(CLI::IsMember({"units", "conflicts"}));
        command->callback([request] {
            CliRun run;
            EnableCommand(run, *request, Globals().json, std::cout);
        });
    }

    auto path = std::make_shared<std::string>();
    CLI::App* schema = app.add_subcommand("schema", "Export, import or apply a schema (*.uls)");
    schema->require_subcommand(1);
    using SchemaCommand = void (*)(CliRun&, const std::string&, bool, std::ostream&);
    const std::tuple<const char*, const char*, SchemaCommand> schemaCommands[] = {
        {"export", "Write the enabled state of every catalogued archive", SchemaExportCommand},
        {"import", "Scan, then bring the catalogued archives to the schema's state",
         SchemaImportCommand},
        {"apply", "Bring the TA directory's archives to the schema's state (no scan)",
         SchemaApplyCommand},
    };
    for (const auto& [name, description, command] : schemaCommands) {
        CLI::App* sub = schema->add_subcommand(name, description);
        sub->add_option("FILE", *path, "The schema file")->required();
        sub->callback([path, command = command] {
            CliRun run;
            command(run, *path, Globals().json, std::cout);
        });
    }

    auto key = std::make_shared<std::string>();
    CLI::App* udf = app.add_subcommand("udf", "Fast-load unit lists (*.udf)");
    udf->require_subcommand(1);
    CLI::App* save = udf->add_subcommand("save", "Save the list of the archive holding a unit");
    save->add_option("--unit", *key, "The unit's key (or name when unique)")->required();
    save->add_option("FILE", *path, "The list file to write")->required();
    save->callback([key, path] {
        CliRun run;
        UdfSaveCommand(run, *key, *path, Globals().json, std::cout);
    });
}

}  // namespace kloxmere::cli

#include "cli/ViewerCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <system_error>

#include "app/UnitViewerExport.h"
#include "base/FileSystem.h"
#include "cli/CatalogueCommands.h"
#include "cli/CliSession.h"
#include "cli/CommandErrors.h"
#include "units/modGeneric.h"

namespace kloxmere::cli {

void ViewerExportCommand(CliRun& run, const ViewerExportRequest& request, bool json,
                         std::ostream& out) {
    std::error_code error;
    if (request.viewer.empty() ||
        !std::filesystem::is_regular_file(PathFromUtf8(request.viewer), error)) {
        throw CommandError("no unit viewer at '" + request.viewer +
                           "'; pass the viewer program with --viewer");
    }
    run.scan();
    const clsUnit& unit = FindUnit(run.session.catalogue, request.unit);
    run.session.UnitViewPath = request.viewer;
    const ViewerExportResult result = ExportToViewer(run.session, unit, request.launch);
    if (result != ViewerExportResult::Built && result != ViewerExportResult::Started) {
        throw CommandError("the test archives for '" + request.unit +
                           "' could not be built (its model or script is missing, or the "
                           "viewer's directory cannot be written)");
    }
    const std::string directory = FilePath(request.viewer) + NativeSeparator();
    const std::string archives[] = {directory + kArmTestArchiveName,
                                    directory + kCorTestArchiveName};
    const bool started = result == ViewerExportResult::Started;
    if (json) {
        nlohmann::ordered_json answer = {{"archives", archives}, {"viewerStarted", started}};
        out << answer.dump(2) << '\n';
        return;
    }
    for (const std::string& archive : archives) out << "Wrote " << archive << '\n';
    if (started) out << "Started " << request.viewer << '\n';
}

void RegisterViewerCommands(CLI::App& app) {
    auto request = std::make_shared<ViewerExportRequest>();
    CLI::App* command = app.add_subcommand(
        "viewer-export", "Write the unit viewer's test archives for a unit and start the viewer");
    command
        ->add_option("--unit", request->unit, "The unit's key (see list) or its name when unique")
        ->required();
    command->add_option("--viewer", request->viewer, "The unit viewer program")->required();
    command->add_flag("!--no-launch", request->launch, "Write the archives only");
    command->callback([request] {
        CliRun run;
        ViewerExportCommand(run, *request, Globals().json, std::cout);
    });
}

}  // namespace kloxmere::cli

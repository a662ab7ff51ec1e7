#pragma once

// kloxmere-cli viewer-export: hands a unit to the unit viewer from the
// command line (the two test archives in the viewer's directory, then the
// viewer started there).

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace kloxmere::cli {

class CliRun;

void RegisterViewerCommands(CLI::App& app);

struct ViewerExportRequest {
    std::string unit;    // the unit's key or unique name
    std::string viewer;  // the viewer program; required, as the terminal cannot ask
    bool launch = true;
};

// Scans, builds the test archives for the unit and starts the viewer unless
// told not to; prints the archives written. CommandError when the viewer is
// missing or an archive could not be built.
void ViewerExportCommand(CliRun& run, const ViewerExportRequest& request, bool json,
                         std::ostream& out);

}  // namespace kloxmere::cli

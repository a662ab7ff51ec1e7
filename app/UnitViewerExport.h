#pragma once

// Hands a unit to the external unit viewer: two small test archives, one per
// side prefix, each holding a fixed test unit whose model and script are the
// unit's, written into the viewer's directory; then the viewer is started
// there. The test unit's definition is one of the two template files that
// ship in the program directory.

#include <string>

namespace kloxmere {

class clsUnit;
class PlatformServices;
class Session;

inline constexpr const char* kSelectViewerMessage = "Select your TA unit viewer...";
inline constexpr const char* kArmTemplateName = "armKLOXunit.fbi";
inline constexpr const char* kCorTemplateName = "corKLOXunit.fbi";
inline constexpr const char* kArmTestArchiveName = "arm_klox.ufo";
inline constexpr const char* kCorTestArchiveName = "cor_klox.ufo";

// Builds the test archive at `archivePath` for `prefix` ("arm" or "cor"):
// "units\" prefix "KLOX.fbi" from the template of that prefix in
// `programDirectory` (which ends in a separator), "scripts\" prefix
// "KLOX.cob" and "objects3d\" prefix "KLOX.3do" from the unit's
// "scripts\" Name ".cob" and "objects3d\" Name ".3do". True when the archive
// was written. The archive is written completely or not at all: a failure
// leaves whatever was at `archivePath` as it was, and nothing else on disk.
bool SaveTestHPI(const clsUnit& unit, const std::string& archivePath, const std::string& prefix,
                 const std::string& programDirectory, PlatformServices& services);

enum class ViewerExportResult {
    NoViewer,  // no viewer was chosen
    Failed,    // a test archive could not be built; the viewer was not started
    Built,     // both archives built; the viewer was not to be started
    Started,   // both archives built and the viewer asked to start
};

// The whole export of `unit`. When session.UnitViewPath is empty or names no
// file, the user is told to pick the viewer and asked with the file dialog
// (cancelled: NoViewer, nothing else happens). Then "arm_klox.ufo" and, only
// after it succeeded, "cor_klox.ufo" are built in the viewer's directory, and
// the viewer is started with that directory as its working directory (unless
// `launch` is false). The busy pointer is shown while the archives are built.
ViewerExportResult ExportToViewer(Session& session, const clsUnit& unit, bool launch = true);

}  // namespace kloxmere

#include "app/UnitViewerExport.h"

#include <filesystem>
#include <system_error>

#include "app/Session.h"
#include "archive/clsHPI.h"
#include "archive/modHPIUtil.h"
#include "base/BusyPointer.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "units/clsUnit.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

const FileDialogRequest kViewerDialog{FileDialogMode::Open, "", "exe",
                                      "Applications (*.exe)|*.exe"};

std::int32_t doNothing(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                       std::int32_t, std::int32_t, std::int32_t) {
    return 0;
}

bool isFile(const std::string& path) {
    std::error_code error;  // a failure while checking counts as no file
    return std::filesystem::is_regular_file(PathFromUtf8(path), error);
}

// The unit's model and script, read from its archive.
struct UnitFiles {
    std::vector<std::uint8_t> model, script;
};

std::optional<UnitFiles> readUnitFiles(const clsUnit& unit) {
    if (!unit.HPI) return std::nullopt;
    std::int32_t handle = HPIOpen(unit.HPI->Filename);
    if (handle == 0) return std::nullopt;
    UnitFiles files;
    const bool read =
        HPIExtractToMemory(handle, "objects3d\\" + unit.Name + ".3do", files.model) == 1 &&
        HPIExtractToMemory(handle, "scripts\\" + unit.Name + ".cob", files.script) == 1;
    HPIClose(handle);
    if (!read) return std::nullopt;
    return files;
}

}  // namespace

bool SaveTestHPI(const clsUnit& unit, const std::string& archivePath, const std::string& prefix,
                 const std::string& programDirectory, PlatformServices& services) {
    BusyPointer busy(services);
    services.RefreshForm();
    // Model and script go from memory into the new archive: nothing is
    // written beside the program, whose directory may be read-only.
    auto files = readUnitFiles(unit);
    if (!files) return false;

    std::int32_t archive = HPICreate(archivePath, doNothing);
    if (archive == 0) return false;
    const std::string definition =
        programDirectory + (EqualsNoCase(prefix, "arm") ? kArmTemplateName : kCorTemplateName);
    const bool added =
        HPIAddFile(archive, "units\\" + prefix + "KLOX.fbi", definition) != 0 &&
        HPIAddFileFromMemory(archive, "scripts\\" + prefix + "KLOX.cob", files->script) != 0 &&
        HPIAddFileFromMemory(archive, "objects3d\\" + prefix + "KLOX.3do", files->model) != 0;
    if (!added) {
        HPIClose(archive);  // abandoned: nothing was written
        return false;
    }
    // Packing writes a new file beside the target and renames it over the
    // target once complete.
    return HPIPackArchive(archive, 0) != 0;
}

ViewerExportResult ExportToViewer(Session& session, const clsUnit& unit, bool launch) {
    if (session.UnitViewPath.empty() || !isFile(session.UnitViewPath)) {
        session.services.ShowMessage(kSelectViewerMessage, kApplicationTitle,
                                     MessageIcon::Information);
        std::string chosen = session.services.ChooseFile(kViewerDialog);
        if (chosen.empty()) return ViewerExportResult::NoViewer;
        session.UnitViewPath = chosen;
    }
    BusyPointer busy(session.services);
    const std::string directory = FilePath(session.UnitViewPath);
    const std::string separator(1, NativeSeparator());
    // "cor" is built only after "arm" succeeded.
    const std::pair<const char*, const char*> archives[] = {{"arm", kArmTestArchiveName},
                                                            {"cor", kCorTestArchiveName}};
    for (const auto& [prefix, name] : archives) {
        if (!SaveTestHPI(unit, directory + separator + name, prefix, session.programDirectory,
                         session.services)) {
            return ViewerExportResult::Failed;
        }
    }
    if (!launch) return ViewerExportResult::Built;
    // The viewer gets its directory as its working directory; ours stays as it is.
    session.services.Launch({"open", session.UnitViewPath, "", directory, session.TADirectory});
    return ViewerExportResult::Started;
}

}  // namespace kloxmere

#include "catalogue/Schemas.h"

#include <unordered_map>

#include "archive/clsHPI.h"
#include "base/BusyPointer.h"
#include "base/FileSystem.h"
#include "base/PlatformServices.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"
#include "catalogue/ArchiveSwitch.h"
#include "catalogue/Catalogue.h"
#include "units/ArchiveNames.h"
#include "units/DefinitionText.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

// The renames that bring archives to the state a schema's lines name. Each
// line, in order, reaches every archive whose enabled name matches the line's
// without regard to case; an archive named twice ends in the state of its
// last line. Only archives whose final state differs from their present one
// are renamed, each once.
std::vector<std::size_t> archivesToSwitch(const std::vector<std::string>& paths,
                                          const std::vector<std::string>& lines,
                                          std::vector<bool>& wanted) {
    auto keyOf = [](std::string_view path) { return FoldCase(EnabledName(path)); };
    std::unordered_map<std::string, std::vector<std::size_t>> byName;
    for (std::size_t i = 0; i < paths.size(); ++i) byName[keyOf(paths[i])].push_back(i);
    wanted.assign(paths.size(), false);
    std::vector<bool> named(paths.size(), false);
    std::vector<std::size_t> order;
    for (const std::string& line : lines) {
        auto found = byName.find(keyOf(line));
        if (found == byName.end()) continue;
        for (std::size_t i : found->second) {
            if (!named[i]) order.push_back(i);
            named[i] = true;
            wanted[i] = IsEnabledName(line);
        }
    }
    std::vector<std::size_t> changing;
    for (std::size_t i : order) {
        if (IsEnabledName(paths[i]) != wanted[i]) changing.push_back(i);
    }
    return changing;
}

std::string schemaCommand(const char* verb, const std::string& path) {
    return std::string(verb) + " Schema " + FileTitle(path);
}

// Reads the schema file at `path` into `result`; false when it cannot be read.
bool readSchemaFile(const std::string& path, std::vector<std::string>& lines,
                    SchemaResult& result) {
    try {
        lines = ParseSchema(ReadFileBytes(PathFromUtf8(path)));
    } catch (const FileError& error) {
        result.problem = error.what();
        return false;
    }
    result.read = true;
    return true;
}

}  // namespace

std::vector<std::string> ParseSchema(std::string_view bytes) {
    std::vector<std::string> names;
    ForEachLine(bytes, [&](std::string_view line) {
        // Only the file name counts; a line holding nothing else names nothing.
        std::size_t separator = line.find_last_of("\\/");
        if (separator != std::string_view::npos) line.remove_prefix(separator + 1);
        if (!line.empty()) names.push_back(DecodeWindows1252(line));
    });
    return names;
}

std::vector<std::string> ParseSchema(std::span<const std::uint8_t> bytes) {
    return ParseSchema(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<std::uint8_t> FormatSchema(const Catalogue& catalogue) {
    std::vector<std::uint8_t> bytes;
    for (const clsUnitArchive* archive : catalogue.ArchiveList) {
        std::string name = archive->HPI ? EncodeWindows1252(FileTitle(archive->HPI->Filename)) : "";
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    return bytes;
}

bool ExportSchema(const Catalogue& catalogue, const std::string& path, std::string* reason) {
    try {
        WriteFileAtomically(PathFromUtf8(path), FormatSchema(catalogue));
        return true;
    } catch (const FileError& error) {
        if (reason) {
            *reason = error.what();
        }
        return false;
    }
}

SchemaResult ImportSchema(Catalogue& catalogue, PlatformServices& services,
                          const std::string& path) {
    BusyPointer busy(services);
    SchemaResult result;
    std::vector<std::string> lines;
    if (!readSchemaFile(path, lines, result)) {
        return result;
    }

    std::vector<clsHPI*> handles;
    std::vector<std::string> paths;
    for (clsUnitArchive* archive : catalogue.ArchiveList) {
        if (!archive->HPI) {
            continue;
        }
        handles.push_back(archive->HPI.get());
        paths.push_back(archive->HPI->Filename);
    }
    std::vector<bool> wanted;
    SwitchPlan plan{schemaCommand("Import", path), {}};
    for (std::size_t i : archivesToSwitch(paths, lines, wanted)) {
        PlannedRename rename{paths[i], {}, handles[i], {}};
        if (auto to = SwitchedPath(paths[i], wanted[i])) {
            rename.to = *to;
        } else {
            rename.reason = "the file name has no extension";
        }
        plan.renames.push_back(std::move(rename));
    }
    result.renames = RunSwitch(std::move(plan));
    return result;
}

SchemaResult ApplySchemaFile(const std::string& path, std::string taDirectory,
                             PlatformServices& services) {
    BusyPointer busy(services);
    SchemaResult result;
    std::vector<std::string> lines;
    if (!readSchemaFile(path, lines, result)) {
        services.ShowMessage(
            "The schema '" + FileTitle(path) + "' could not be read: " + result.problem,
            kApplicationTitle, MessageIcon::Exclamation);
        return result;
    }

    if (taDirectory.empty()) {
        // Listing "" would list the file system's root instead.
        services.ShowMessage("The schema '" + FileTitle(path) +
                                 "' could not be applied: the TA directory is not known.",
                             kApplicationTitle, MessageIcon::Exclamation);
        return result;
    }
    DirectoryNames taFiles(taDirectory);
    std::vector<std::string> paths = FindArchiveFiles(taFiles);
    taDirectory = taFiles.directory();  // ends in a separator
    std::vector<bool> wanted;
    SwitchPlan plan{schemaCommand("Apply", path), {}};
    for (std::size_t i : archivesToSwitch(paths, lines, wanted)) {
        plan.renames.push_back({paths[i], taDirectory + ToggledName(paths[i]), nullptr, {}});
    }
    result.renames = RunSwitch(std::move(plan));
    if (!result.renames.refusal.empty()) {
        services.ShowMessage(
            "The schema '" + FileTitle(path) + "' could not be applied: " + result.renames.refusal,
            kApplicationTitle, MessageIcon::Exclamation);
        return result;
    }
    services.ShowMessage(
        "The schema '" + FileTitle(path) + "' has been applied to your TA directory.",
        kApplicationTitle, MessageIcon::Information);
    return result;
}

}  // namespace kloxmere

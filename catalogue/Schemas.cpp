#include "catalogue/Schemas.h"

#include <functional>
#include <optional>
#include <set>
#include <unordered_map>

#include "base/PlatformServices.h"
#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"
#include "base/BusyPointer.h"
#include "catalogue/Catalogue.h"
#include "units/ArchiveNames.h"
#include "units/DefinitionText.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

// Brings archives to the state a schema's lines name. Each line, in order,
// reaches every archive, in order, whose enabled name matches the line's
// without regard to case and whose state differs from the line's. The
// archives are indexed by their folded enabled name, kept current as they are
// renamed, so that a schema costs no more than its matches.
class SchemaApplier {
  public:
    // Tries to bring archive `index`, now at `path`, to the state `enable`:
    // its new path, or nullopt when the rename was refused (`reason` says why).
    using Rename = std::function<std::optional<std::string>(
        std::size_t index, const std::string& path, bool enable, std::string& reason)>;

    SchemaApplier(std::vector<std::string> paths, Rename rename)
        : m_paths(std::move(paths)), m_rename(std::move(rename)) {
        for (std::size_t i = 0; i < m_paths.size(); ++i) {
            m_index[keyOf(m_paths[i])].insert(i);
        }
    }

    RenameReport apply(const std::vector<std::string>& lines) {
        RenameReport report;
        std::unordered_map<std::size_t, bool> reportedRefusal;
        for (const std::string& line : lines) {
            auto found = m_index.find(keyOf(line));
            if (found == m_index.end()) {
                continue;
            }
            const bool enable = IsEnabledName(line);
            // A copy: renaming moves archives between index entries.
            std::vector<std::size_t> matches(found->second.begin(), found->second.end());
            for (std::size_t i : matches) {
                if (IsEnabledName(m_paths[i]) == enable) {
                    continue;
                }
                ArchiveRename rename{m_paths[i], {}, {}};
                std::optional<std::string> renamed = m_rename(i, m_paths[i], enable, rename.reason);
                if (!renamed) {
                    if (!reportedRefusal[i]) {
                        report.refused.push_back(std::move(rename));
                    }
                    reportedRefusal[i] = true;
                    continue;
                }
                if (*renamed == m_paths[i]) {
                    continue;
                }
                m_index[keyOf(m_paths[i])].erase(i);
                m_paths[i] = *renamed;
                m_index[keyOf(m_paths[i])].insert(i);
                rename.to = *renamed;
                rename.reason.clear();
                report.renamed.push_back(std::move(rename));
            }
        }
        return report;
    }

  private:
    static std::string keyOf(std::string_view path) { return FoldCase(EnabledName(path)); }

    std::vector<std::string> m_paths;
    Rename m_rename;
    std::unordered_map<std::string, std::set<std::size_t>> m_index;
};

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
    auto rename = [&handles](std::size_t index, const std::string&, bool enable,
                             std::string& reason) -> std::optional<std::string> {
        clsHPI& hpi = *handles[index];
        if (!hpi.SetEnabled(enable, &reason)) {
            return std::nullopt;
        }
        return hpi.Filename;
    };
    result.renames = SchemaApplier(std::move(paths), rename).apply(lines);
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
    auto rename = [&taDirectory](std::size_t, const std::string& from, bool,
                                 std::string& reason) -> std::optional<std::string> {
        std::string to = taDirectory + ToggledName(from);
        if (!RenameNoReplace(PathFromUtf8(from), PathFromUtf8(to), &reason)) {
            return std::nullopt;
        }
        return to;
    };
    result.renames = SchemaApplier(std::move(paths), rename).apply(lines);
    services.ShowMessage(
        "The schema '" + FileTitle(path) + "' has been applied to your TA directory.",
        kApplicationTitle, MessageIcon::Information);
    return result;
}

}  // namespace kloxmere

#include "catalogue/SchemaDiff.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Schemas.h"
#include "units/ArchiveNames.h"
#include "units/modGeneric.h"

namespace kloxmere {

SchemaDiff DiffSchema(const Catalogue& catalogue, const std::vector<std::string>& lines) {
    SchemaDiff diff;
    diff.read = true;
    // The state the last line naming each enabled name asks for.
    std::unordered_map<std::string, bool> wanted;
    std::unordered_set<std::string> present;
    for (const clsUnitArchive* archive : catalogue.ArchiveList) {
        if (archive->HPI) present.insert(FoldCase(EnabledName(FileTitle(archive->HPI->Filename))));
    }
    std::unordered_set<std::string> reportedMissing;
    for (const std::string& line : lines) {
        std::string key = FoldCase(EnabledName(line));
        wanted[key] = IsEnabledName(line);
        if (!present.count(key) && reportedMissing.insert(key).second) {
            diff.missing.push_back(line);
        }
    }
    for (const clsUnitArchive* archive : catalogue.ArchiveList) {
        if (!archive->HPI) continue;
        std::string name = FileTitle(archive->HPI->Filename);
        auto found = wanted.find(FoldCase(EnabledName(name)));
        if (found == wanted.end()) {
            diff.unlisted.push_back(std::move(name));
        } else if (found->second != IsEnabledName(name)) {
            (found->second ? diff.enable : diff.disable).push_back(std::move(name));
        }
    }
    return diff;
}

SchemaDiff DiffSchemaFile(const Catalogue& catalogue, const std::string& path) {
    std::vector<std::string> lines;
    try {
        lines = ParseSchema(ReadFileBytes(PathFromUtf8(path)));
    } catch (const FileError& error) {
        SchemaDiff diff;
        diff.problem = error.what();
        return diff;
    }
    return DiffSchema(catalogue, lines);
}

}  // namespace kloxmere

#pragma once

// What importing a schema would do to the catalogued archives, worked out
// without renaming anything: the same matching as ImportSchema (each line, in
// order, reaches every archive whose enabled name equals its own without
// regard to case; the last line naming an archive decides its state).

#include <string>
#include <vector>

namespace kloxmere {

class Catalogue;

struct SchemaDiff {
    bool read = false;    // false: the schema file could not be read
    std::string problem;  // why it could not be read
    // Archives by their names on disk now, in ArchiveList order.
    std::vector<std::string> enable;    // disabled here, enabled by the schema
    std::vector<std::string> disable;   // enabled here, disabled by the schema
    std::vector<std::string> unlisted;  // named by no line: left as they are
    // The schema's file names that match no catalogued archive, as written
    // (without their directory), each once, in schema order.
    std::vector<std::string> missing;

    // Whether an import would rename nothing.
    bool changesNothing() const { return enable.empty() && disable.empty(); }
};

// The difference between the catalogue's archives and the schema's lines.
SchemaDiff DiffSchema(const Catalogue& catalogue, const std::vector<std::string>& lines);
// The same for the schema file at `path`; `read` false when it cannot be read.
SchemaDiff DiffSchemaFile(const Catalogue& catalogue, const std::string& path);

}  // namespace kloxmere

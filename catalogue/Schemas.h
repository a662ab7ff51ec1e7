#pragma once

// Schema files (*.uls): the enabled or disabled state of a TA directory's
// archives, as the list of the archives' file names in their current form
// (rev.hpi enabled, mod.xufo disabled).
//
// Layout: Windows-1252 text, one archive file name per line, each line ended
// by CR LF; no header. When read, a line ends at CR, LF or CR LF, empty lines
// are skipped, and only the part after the last "\" or "/" of a line counts.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Enabling.h"

namespace kloxmere {

class Catalogue;
class PlatformServices;

// The file names a schema's bytes name, in file order (UTF-8).
std::vector<std::string> ParseSchema(std::span<const std::uint8_t> bytes);
std::vector<std::string> ParseSchema(std::string_view bytes);

// The schema bytes of the catalogued archives, in ArchiveList order.
std::vector<std::uint8_t> FormatSchema(const Catalogue& catalogue);

// Writes the schema of the catalogued archives to `path`. The file is
// replaced only once complete, so a failed export leaves an earlier file of
// that name as it was. False on failure, `reason` then says why.
bool ExportSchema(const Catalogue& catalogue, const std::string& path,
                  std::string* reason = nullptr);

struct SchemaResult {
    bool read = false;    // false: the schema file could not be read, nothing was renamed
    std::string problem;  // why it could not be read
    RenameReport renames;
};

// Applies the schema file `path` to the catalogued archives: each line, in
// order, brings every archive whose enabled name equals the line's (without
// regard to case) to the line's state. An archive named twice ends in the
// state of its last line; archives the schema does not name keep theirs. No
// message is shown. The caller refreshes the rows' state afterwards
// (RefreshListState): the rows belong to the view.
SchemaResult ImportSchema(Catalogue& catalogue, PlatformServices& services,
                          const std::string& path);

// Applies the schema file `path` directly to the archive files of
// `taDirectory` (*.hpi, *.xhpi, *.ccx, *.xccx, *.ufo, *.xufo), with the same
// matching as ImportSchema and renames that never replace a file, then says
// so in a message box. An unreadable schema, or an empty `taDirectory`,
// renames nothing and the message says why.
SchemaResult ApplySchemaFile(const std::string& path, std::string taDirectory,
                             PlatformServices& services);

}  // namespace kloxmere

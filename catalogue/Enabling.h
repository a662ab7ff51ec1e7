#pragma once

// Enabling and disabling whole archives on behalf of units: the group
// commands act on the units the tree and the tab select, the unit command on
// one unit. An archive is renamed between rev.hpi and rev.xhpi through its
// handle, which never replaces an existing file.

#include <string>
#include <vector>

namespace kloxmere {

class Catalogue;
class clsUnit;
struct ViewState;

// One archive rename asked for: done (`to` holds the new path) or refused
// (`to` is empty and `reason` says why; the file kept its name).
struct ArchiveRename {
    std::string from;
    std::string to;
    std::string reason;
};

struct RenameReport {
    std::vector<ArchiveRename> renamed;  // in the order they were done
    std::vector<ArchiveRename> refused;  // each refusing archive once
    std::vector<ArchiveRename>
        unchanged;        // found with the wanted name already ("already disabled")
    std::string refusal;  // the whole batch was refused, nothing renamed: why
};

// Brings the archives of the selected units to `enable`: on the Units tab the
// units the selection rule picks for the selected tree node, on the Conflicts
// tab every unit of UnitList; on the other tabs nothing. Units are visited in
// UnitList order and an archive is renamed only when its state differs, so
// the first unit of an archive renames it and its other units find it done.
// A refused rename leaves the archive as it was and the command goes on.
RenameReport SetSelectionEnabled(Catalogue& catalogue, const ViewState& view, bool enable);

// Brings the archive of one unit to `enable` (nothing when it already is).
RenameReport SetUnitEnabled(clsUnit& unit, bool enable);

}  // namespace kloxmere

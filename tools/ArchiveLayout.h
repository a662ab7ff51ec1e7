#pragma once

// Which archives a generated installation holds and how much of the tier's
// units, weapons and menu entries each one gets: the first two steps of
// planning it (see InstallationPlan.h).

#include <cstdint>
#include <string>
#include <vector>

#include "tools/DeterministicRandom.h"
#include "tools/InstallationPlan.h"
#include "tools/NamePools.h"

namespace kloxmere::tools {

// The archive files with their names and roles, in the scan's load order
// (by extension: hpi, xhpi, ccx, xccx, ufo, xufo; then by name without
// regard to case). Their contents are left empty.
std::vector<PlannedArchive> LayOutArchives(const InstallationTier& tier,
                                           DeterministicRandom& random, NameBook& names);

struct ArchiveQuota {
    std::uint64_t units = 0, weapons = 0, entries = 0;  // new units, weapon names, menu entries
};

// Shares the tier's counts out over `archives` (by position): a sixth or so
// of the units to the game's archives and 1 to 10 to each add-on, weapons
// and menu entries in proportion to the units, some to weapon packs and
// menu patches. The quotas add up to the tier's counts exactly.
std::vector<ArchiveQuota> ShareOut(const InstallationTier& tier,
                                   const std::vector<PlannedArchive>& archives,
                                   DeterministicRandom& random);

// Splits `total` into parts in proportion to `weights`, none above its cap;
// what no part can take is returned in `overflow`.
std::vector<std::uint64_t> Apportion(std::uint64_t total, const std::vector<double>& weights,
                                     const std::vector<std::uint64_t>& caps,
                                     DeterministicRandom& random, std::uint64_t* overflow);

bool IsGameArchive(const PlannedArchive& archive);  // *.hpi or *.ccx (and x forms)

std::string UpperAscii(std::string text);
std::string LowerAscii(std::string text);
std::string FileStem(const std::string& fileName);  // the name before its last dot

}  // namespace kloxmere::tools

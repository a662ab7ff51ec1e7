#include "catalogue/MenuConflicts.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "app/PlatformServices.h"
#include "base/TextCase.h"
#include "catalogue/Catalogue.h"
#include "units/clsMenuEntry.h"

namespace kloxmere {

std::string MenuConflictMessage(const clsMenuEntry& first, const clsMenuEntry& second) {
    return first.Unit + " & " + second.Unit + " are both trying to share menu " + first.Menu +
           " button " + first.Button + " on unit " + first.BuilderUnit;
}

// Comparing every pair of entries would take n(n - 1) / 2 string comparisons,
// too many for a large installation. The entries are grouped by their folded
// Location instead; for entry i, the later members of its group are exactly
// the j > i a pairwise pass would match, in the same order. Any number of
// entries is handled alike.
void FindMenuConflicts(Catalogue& catalogue, PlatformServices& services) {
    const auto& entries = catalogue.MenuEntryList;
    const std::size_t n = entries.Count();

    // For each entry, in list order: its group and its place in that group.
    std::unordered_map<std::string, std::vector<const clsMenuEntry*>> byLocation;
    byLocation.reserve(n);
    std::vector<std::pair<const std::vector<const clsMenuEntry*>*, std::size_t>> places;
    places.reserve(n);
    for (const clsMenuEntry* entry : entries) {
        auto& group = byLocation[FoldCase(entry->Location())];
        group.push_back(entry);
        places.emplace_back(&group, group.size() - 1);
    }

    const auto max = static_cast<std::int32_t>(n);
    for (std::size_t i = 0; i < n; ++i) {
        services.Update(static_cast<std::int32_t>(i + 1), max);
        const auto& [group, place] = places[i];
        const clsMenuEntry& first = *(*group)[place];
        for (std::size_t j = place + 1; j < group->size(); ++j) {
            catalogue.MenuConflictList.push_back(MenuConflictMessage(first, *(*group)[j]));
        }
    }
}

}  // namespace kloxmere

#include "catalogue/MenuConflicts.h"

#include <cstdint>
#include <string>
#include <vector>

#include "base/PlatformServices.h"
#include "base/PositionIndex.h"
#include "base/TextCase.h"
#include "catalogue/Catalogue.h"
#include "units/clsMenuEntry.h"

namespace kloxmere {

std::string MenuConflictMessage(const clsMenuEntry& first, const clsMenuEntry& second) {
    return first.Unit + " & " + second.Unit + " are both trying to share menu " + first.Menu +
           " button " + first.Button + " on unit " + first.BuilderUnit;
}

std::string MenuConflict::Message() const {
    return MenuConflictMessage(*first, *second);
}

std::vector<std::string> MenuConflictMessages(const Catalogue& catalogue) {
    std::vector<std::string> messages;
    messages.reserve(catalogue.MenuConflictList.size());
    for (const MenuConflict& conflict : catalogue.MenuConflictList) {
        messages.push_back(conflict.Message());
    }
    return messages;
}

// Comparing every pair of entries would take n(n - 1) / 2 string comparisons,
// too many for a large installation. Instead each entry is chained to the
// next entry of the same Location (without regard to case); for entry i, its
// chain holds exactly the j > i a pairwise pass would match, in the same
// order. Any number of entries is handled alike. The entries are found by
// Location through an index of positions: no Location is kept as a string
// of its own.
void FindMenuConflicts(Catalogue& catalogue, PlatformServices& services) {
    const auto& entries = catalogue.MenuEntryList;
    const std::size_t n = entries.Count();
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::vector<std::size_t> next(n, kNone);
    {
        // Each Location's last entry met so far, by list position.
        PositionIndex last;
        last.reserve(n);
        std::string location, other;
        for (std::size_t i = 0; i < n; ++i) {
            entries.Item(i + 1)->LocationInto(location);
            auto earlier = last.replace(i + 1, HashNoCase(location), [&](std::size_t position) {
                entries.Item(position)->LocationInto(other);
                return EqualsNoCase(location, other);
            });
            if (earlier) next[*earlier - 1] = i;
        }
    }

    const auto max = static_cast<std::int32_t>(n);
    for (std::size_t i = 0; i < n; ++i) {
        services.Update(static_cast<std::int32_t>(i + 1), max);
        const clsMenuEntry& first = *entries.Item(i + 1);
        for (std::size_t j = next[i]; j != kNone; j = next[j]) {
            catalogue.MenuConflictList.push_back({&first, entries.Item(j + 1)});
        }
    }
}

}  // namespace kloxmere

#pragma once

#include <string>
#include <vector>

namespace kloxmere {

class Catalogue;
class PlatformServices;
class clsMenuEntry;

// One build-menu conflict: two entries of MenuEntryList on the same button,
// `first` the earlier. Its message is worded only when read, so a huge
// installation's conflicts cost two pointers each until they are shown.
struct MenuConflict {
    const clsMenuEntry* first = nullptr;
    const clsMenuEntry* second = nullptr;

    std::string Message() const;
    bool operator==(const MenuConflict&) const = default;
};

// Appends to MenuConflictList one conflict for every pair of entries of
// MenuEntryList whose Locations are equal without regard to case, in the order
// of the pairs (1, 2), (1, 3), (2, 3), ... of their list positions. Enabled
// state plays no part. The progress bar is updated once per entry, as
// Update(i, n) for i = 1 .. n.
void FindMenuConflicts(Catalogue& catalogue, PlatformServices& services);

// "<A.Unit> & <B.Unit> are both trying to share menu <A.Menu> button
// <A.Button> on unit <A.BuilderUnit>": menu, button and builder come from
// `first`, the entry earlier in MenuEntryList.
std::string MenuConflictMessage(const clsMenuEntry& first, const clsMenuEntry& second);

// Every message of MenuConflictList, in order.
std::vector<std::string> MenuConflictMessages(const Catalogue& catalogue);

}  // namespace kloxmere

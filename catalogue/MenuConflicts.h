#pragma once

#include <string>

namespace kloxmere {

class Catalogue;
class PlatformServices;
class clsMenuEntry;

// Appends to MenuConflictList one message for every pair of entries of
// MenuEntryList whose Locations are equal without regard to case, in the order
// of the pairs (1, 2), (1, 3), (2, 3), ... of their list positions. Enabled
// state plays no part. The progress bar is updated once per entry, as
// Update(i, n) for i = 1 .. n.
void FindMenuConflicts(Catalogue& catalogue, PlatformServices& services);

// "<A.Unit> & <B.Unit> are both trying to share menu <A.Menu> button
// <A.Button> on unit <A.BuilderUnit>": menu, button and builder come from
// `first`, the entry earlier in MenuEntryList.
std::string MenuConflictMessage(const clsMenuEntry& first, const clsMenuEntry& second);

}  // namespace kloxmere

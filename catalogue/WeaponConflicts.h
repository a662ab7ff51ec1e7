#pragma once

namespace kloxmere {

class Catalogue;
class PlatformServices;

// Records every pair of weapons of WeaponList that carry the same ID on both
// weapons: afterwards each weapon's Conflicts holds every other weapon of its
// ID, each once, in WeaponList order. Enabled state plays no part. Runs once
// after the units were linked to their weapons.
//
// With `showProgress`, the progress bar is updated once per weapon but the
// last, as Update(i, n) for i = 1 .. n - 1.
void FindWeaponConflicts(Catalogue& catalogue, PlatformServices& services, bool showProgress);

}  // namespace kloxmere

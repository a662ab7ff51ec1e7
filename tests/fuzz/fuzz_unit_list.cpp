// Feeds arbitrary bytes to the fast-load list reader. Besides the sanitizers'
// checks: a damaged list yields no records at all, and a list that reads whole
// names an archive.

#include <cstddef>
#include <cstdint>
#include <span>

#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/clsWeapon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kloxmere::UnitListContents list =
        kloxmere::ParseUnitList(std::span<const std::uint8_t>(data, size));
    bool anyRecord = !list.units.empty() || !list.weapons.empty() || !list.menuEntries.empty();
    if (list.damaged && anyRecord) __builtin_trap();
    if (!list.damaged && list.archiveName.empty()) __builtin_trap();
    return 0;
}

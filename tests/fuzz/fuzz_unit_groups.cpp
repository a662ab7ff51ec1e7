// Feeds arbitrary bytes to the unit groups reader. Besides the sanitizers'
// checks, the groups read (whether or not the data was damaged) must write
// out as a file that reads back without damage to the same bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "base/Collection.h"
#include "catalogue/UnitGroupsFile.h"
#include "catalogue/clsUnitGroup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kloxmere::clsUnitGroup;
    using kloxmere::Collection;
    Collection<clsUnitGroup> groups;
    kloxmere::ParseUnitGroups(std::span<const std::uint8_t>(data, size), groups);
    auto written = kloxmere::FormatUnitGroups(groups);

    Collection<clsUnitGroup> again;
    if (!kloxmere::ParseUnitGroups(written, again).empty() || again.Count() != groups.Count() ||
        kloxmere::FormatUnitGroups(again) != written) {
        __builtin_trap();
    }
    return 0;
}

#pragma once

#include <string>

#include "base/Collection.h"

namespace kloxmere {

// A named list of words. A user group's Keywords are filename keywords in the
// user's order (no keys, duplicates allowed); a side group's Keywords are the
// distinct unit classes of that side, each keyed by itself.
struct clsUnitGroup {
    std::string Name;
    Collection<std::string> Keywords;
};

}  // namespace kloxmere

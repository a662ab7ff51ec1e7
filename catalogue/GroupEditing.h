#pragma once

// The edits the user makes to the unit groups, shared by the group editor
// window and the command line. Each takes effect at once; the groups reach
// unitgroups.dat when they are saved. An empty name or keyword (a cancelled
// input box) changes nothing.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/Collection.h"

namespace kloxmere {

struct clsUnitGroup;

// Adds a group without keywords named exactly `name` (blanks are a name like
// any other). False when `name` is empty or a group of that name, without
// regard to case, is already there.
bool AddGroup(Collection<clsUnitGroup>& GroupList, const std::string& name);

// Removes the group of `name` (without regard to case); false when there is none.
bool DeleteGroup(Collection<clsUnitGroup>& GroupList, std::string_view name);

// Appends `keyword` to the group's keywords; false when it is empty or the
// group already holds it without regard to case.
bool AddKeyword(clsUnitGroup& group, const std::string& keyword);

// Removes the keyword at the 1-based `position`; false when there is none.
bool DeleteKeyword(clsUnitGroup& group, std::size_t position);

}  // namespace kloxmere

#include "catalogue/GroupEditing.h"

#include <algorithm>

#include "base/TextCase.h"
#include "catalogue/clsUnitGroup.h"

namespace kloxmere {

bool AddGroup(Collection<clsUnitGroup>& GroupList, const std::string& name) {
    if (name.empty()) {
        return false;
    }
    clsUnitGroup group;
    group.Name = name;
    return GroupList.tryAdd(std::move(group), name);
}

bool DeleteGroup(Collection<clsUnitGroup>& GroupList, std::string_view name) {
    auto position = GroupList.indexOf(name);
    if (!position) {
        return false;
    }
    GroupList.Remove(*position);
    return true;
}

bool AddKeyword(clsUnitGroup& group, const std::string& keyword) {
    if (keyword.empty()) {
        return false;
    }
    bool present = std::any_of(group.Keywords.begin(), group.Keywords.end(),
                               [&](const std::string& k) { return EqualsNoCase(k, keyword); });
    if (present) {
        return false;
    }
    group.Keywords.Add(keyword);
    return true;
}

bool DeleteKeyword(clsUnitGroup& group, std::size_t position) {
    if (position < 1 || position > group.Keywords.Count()) {
        return false;
    }
    group.Keywords.Remove(position);
    return true;
}

}  // namespace kloxmere

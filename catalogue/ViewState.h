#pragma once

// What the user has chosen to look at: the selected tab and tree node and the
// two view switches. Kept apart from any widget so that the catalogue's rules
// (which units a node stands for, which rows a tab shows) need no window.

#include <cstdint>
#include <string>

namespace kloxmere {

// The tabs of the list, by CurrentTab value.
inline constexpr std::int32_t kUnitsTab = 0;
inline constexpr std::int32_t kConflictsTab = 1;
inline constexpr std::int32_t kWeaponsTab = 2;
inline constexpr std::int32_t kAvailableWeaponsTab = 3;

// The two roots of the tree.
inline constexpr const char* kUnitsRootKey = "TA_HIERARCHY_NODE";
inline constexpr const char* kGroupsRootKey = "TA_GROUP_NODE";

// A tree node as the selection rule sees it: its key and text, its parent's
// key and text (empty for a root), and its root's key.
struct TreeNodeRef {
    std::string key;
    std::string text;
    std::string parentKey;
    std::string parentText;
    std::string rootKey;
};

struct ViewState {
    std::int32_t CurrentTab = kUnitsTab;
    bool ShowCavedog = true;     // list units of *.hpi and *.ccx archives
    bool ShowThirdParty = true;  // list units of *.ufo archives
    TreeNodeRef selectedNode{kUnitsRootKey, "TA Units", "", "", kUnitsRootKey};
};

}  // namespace kloxmere

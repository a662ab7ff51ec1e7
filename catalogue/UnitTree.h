#pragma once

// The tree beside the list, as plain nodes: the "TA Units" root with a node
// per side and, below each, a node per class of that side; then the
// "TA Unit Groups" root with a node per user group.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ViewState.h"

namespace kloxmere {

class Catalogue;

// Tree image roles.
inline constexpr int kImageRoot = 1;
inline constexpr int kImageUserGroup = 2;
inline constexpr int kImageUserGroupSelected = 3;
inline constexpr int kImageArmSide = 4;
inline constexpr int kImageCoreSide = 5;
inline constexpr int kImageOtherSide = 6;
inline constexpr int kImageClass = 7;

struct TreeNode {
    std::string key;                    // unique in the tree without regard to case
    std::optional<std::string> parent;  // the parent's key as the parent spells it; none for a root
    std::string text;
    int image = kImageRoot;
    std::optional<int> selectedImage;  // none: the image serves when selected too
    bool expanded = false;             // only a root with children is shown expanded
};

// The nodes of the tree, parents before their children, in this order: the
// units root; for each side of SideList its node (text in proper case, key
// the side's name) followed by its class nodes (key: side name and class
// joined); the groups root; a node per group of GroupList. A node whose key
// is already taken (a user group named like a side) is left out, and so are
// the children of a node that was. The first node, the units root, is the
// one shown selected.
std::vector<TreeNode> FillUnitTree(const Catalogue& catalogue);

// The node of `key` (without regard to case) as the selection rule sees it,
// or nullopt when the tree holds no such node.
std::optional<TreeNodeRef> FindTreeNode(const std::vector<TreeNode>& nodes, std::string_view key);

}  // namespace kloxmere

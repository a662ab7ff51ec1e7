#include "catalogue/UnitTree.h"

#include <unordered_map>

#include "base/TextCase.h"
#include "catalogue/Catalogue.h"
#include "catalogue/clsUnitGroup.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

// Builds the node list, refusing keys already taken and parents not present.
class TreeBuilder {
  public:
    // Adds a node under the node of key `parent` (none: a root); false when
    // the node was left out.
    bool add(std::string key, std::optional<std::string_view> parent, std::string text, int image,
             std::optional<int> selectedImage = std::nullopt) {
        std::string folded = FoldCase(key);
        if (m_keys.count(folded) != 0) {
            return false;
        }
        TreeNode node{std::move(key), std::nullopt, std::move(text), image, selectedImage};
        if (parent) {
            auto found = m_keys.find(FoldCase(*parent));
            if (found == m_keys.end()) {
                return false;
            }
            // The roots open as their first child arrives; a side stays
            // closed until the user opens it.
            TreeNode& parentNode = m_nodes[found->second];
            if (!parentNode.parent) parentNode.expanded = true;
            node.parent = m_nodes[found->second].key;
        }
        m_keys.emplace(std::move(folded), m_nodes.size());
        m_nodes.push_back(std::move(node));
        return true;
    }

    std::vector<TreeNode> take() { return std::move(m_nodes); }

  private:
    std::vector<TreeNode> m_nodes;
    std::unordered_map<std::string, std::size_t> m_keys;  // folded key -> position
};

int sideImage(const std::string& side) {
    if (EqualsNoCase(side, "arm")) {
        return kImageArmSide;
    }
    if (EqualsNoCase(side, "core")) {
        return kImageCoreSide;
    }
    return kImageOtherSide;
}

}  // namespace

std::vector<TreeNode> FillUnitTree(const Catalogue& catalogue) {
    TreeBuilder tree;
    tree.add(kUnitsRootKey, std::nullopt, "TA Units", kImageRoot);
    for (const clsUnitGroup& side : catalogue.SideList) {
        if (!tree.add(side.Name, kUnitsRootKey, ProperCase(side.Name), sideImage(side.Name))) {
            continue;
        }
        for (const std::string& className : side.Keywords) {
            tree.add(side.Name + className, side.Name, ProperCase(className), kImageClass);
        }
    }
    tree.add(kGroupsRootKey, std::nullopt, "TA Unit Groups", kImageRoot);
    for (const clsUnitGroup& group : catalogue.GroupList) {
        tree.add(group.Name, kGroupsRootKey, group.Name, kImageUserGroup, kImageUserGroupSelected);
    }
    return tree.take();
}

std::optional<TreeNodeRef> FindTreeNode(const std::vector<TreeNode>& nodes, std::string_view key) {
    auto find = [&nodes](std::string_view wanted) -> const TreeNode* {
        for (const TreeNode& node : nodes) {
            if (EqualsNoCase(node.key, wanted)) {
                return &node;
            }
        }
        return nullptr;
    };
    const TreeNode* node = find(key);
    if (!node) {
        return std::nullopt;
    }

    TreeNodeRef ref{node->key, node->text, {}, {}, node->key};
    if (node->parent) {
        if (const TreeNode* parent = find(*node->parent)) {
            ref.parentKey = parent->key;
            ref.parentText = parent->text;
        }
    }
    // Walk up to the root; a parent chain that loops or breaks stops the walk.
    const TreeNode* root = node;
    for (std::size_t steps = 0; root->parent && steps < nodes.size(); ++steps) {
        const TreeNode* up = find(*root->parent);
        if (!up) {
            break;
        }
        root = up;
    }
    ref.rootKey = root->key;
    return ref;
}

}  // namespace kloxmere

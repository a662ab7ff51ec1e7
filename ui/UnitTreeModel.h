#pragma once

// The tree beside the list: an adapter over the catalogue's tree nodes
// (FillUnitTree). It reads the nodes it is given and nothing else.

#include <QAbstractItemModel>
#include <vector>

#include "catalogue/UnitTree.h"

namespace kloxmere::ui {

class UnitTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    // The node's key, for the selection rule.
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit UnitTreeModel(QObject* parent = nullptr);

    // Replaces every node. Parents come before their children; a node whose
    // parent is not among the nodes before it is left out.
    void setNodes(std::vector<TreeNode> nodes);
    const std::vector<TreeNode>& nodes() const { return m_nodes; }

    // The index of the node at `position` in the order given (0 is the first), or invalid.
    QModelIndex indexOfNode(std::size_t position) const;
    // The node an index stands for, or nullptr.
    const TreeNode* node(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    static constexpr std::size_t kNoParent = static_cast<std::size_t>(-1);
    struct Entry {
        std::size_t parent = kNoParent;  // position in m_nodes
        int row = 0;                     // among its parent's children
        std::vector<std::size_t> children;
    };

    std::vector<TreeNode> m_nodes;
    std::vector<Entry> m_entries;
    std::vector<std::size_t> m_roots;
};

}  // namespace kloxmere::ui

#include "ui/UnitTreeModel.h"

#include <QIcon>
#include <unordered_map>

#include "base/TextCase.h"
#include "ui/Icons.h"

namespace kloxmere::ui {

UnitTreeModel::UnitTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void UnitTreeModel::setNodes(std::vector<TreeNode> nodes) {
    beginResetModel();
    m_nodes.clear();
    m_entries.clear();
    m_roots.clear();
    std::unordered_map<std::string, std::size_t> positions;  // folded key -> position
    for (TreeNode& node : nodes) {
        Entry entry;
        if (node.parent) {
            auto found = positions.find(FoldCase(*node.parent));
            if (found == positions.end()) continue;
            entry.parent = found->second;
        }
        const std::size_t position = m_nodes.size();
        std::vector<std::size_t>& siblings =
            entry.parent == kNoParent ? m_roots : m_entries[entry.parent].children;
        entry.row = static_cast<int>(siblings.size());
        siblings.push_back(position);
        positions.emplace(FoldCase(node.key), position);
        m_nodes.push_back(std::move(node));
        m_entries.push_back(std::move(entry));
    }
    endResetModel();
}

QModelIndex UnitTreeModel::indexOfNode(std::size_t position) const {
    if (position >= m_nodes.size()) return {};
    return createIndex(m_entries[position].row, 0, static_cast<quintptr>(position));
}

const TreeNode* UnitTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return nullptr;
    return &m_nodes[static_cast<std::size_t>(index.internalId())];
}

QModelIndex UnitTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    const std::vector<std::size_t>& siblings =
        parent.isValid() ? m_entries[static_cast<std::size_t>(parent.internalId())].children
                         : m_roots;
    if (static_cast<std::size_t>(row) >= siblings.size()) return {};
    return createIndex(row, 0, static_cast<quintptr>(siblings[static_cast<std::size_t>(row)]));
}

QModelIndex UnitTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    std::size_t parent = m_entries[static_cast<std::size_t>(child.internalId())].parent;
    return parent == kNoParent ? QModelIndex() : indexOfNode(parent);
}

int UnitTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    if (!parent.isValid()) return static_cast<int>(m_roots.size());
    return static_cast<int>(
        m_entries[static_cast<std::size_t>(parent.internalId())].children.size());
}

int UnitTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant UnitTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return QStringLiteral("Units and groups");
    }
    return {};
}

QVariant UnitTreeModel::data(const QModelIndex& index, int role) const {
    const TreeNode* tree = node(index);
    if (!tree) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return QString::fromStdString(tree->text);
        case Qt::DecorationRole: {
            if (!tree->selectedImage) return TreeImage(tree->image);
            // One icon with both pictures: the view shows the selected one
            // for the selected node.
            QIcon icon;
            for (QSize size : {QSize(16, 16), QSize(32, 32)}) {
                icon.addPixmap(TreeImage(tree->image).pixmap(size), QIcon::Normal);
                icon.addPixmap(TreeImage(*tree->selectedImage).pixmap(size), QIcon::Selected);
            }
            return icon;
        }
        case KeyRole:
            return QString::fromStdString(tree->key);
        default:
            return {};
    }
}

}  // namespace kloxmere::ui

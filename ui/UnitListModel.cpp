#include "ui/UnitListModel.h"

#include <QIcon>
#include <stdexcept>
#include <unordered_map>

#include "catalogue/Catalogue.h"
#include "ui/Icons.h"

namespace kloxmere::ui {

namespace {

struct ItemHash {
    std::size_t operator()(const ListItem& item) const {
        return std::hash<std::uint64_t>()((std::uint64_t(item.kind) << 32) | item.position);
    }
};

}  // namespace

UnitListModel::UnitListModel(const Catalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent),
      m_own(std::make_unique<window::ListContents>(catalogue)),
      m_contents(*m_own) {}

UnitListModel::UnitListModel(const window::ListContents& contents, QObject* parent)
    : QAbstractTableModel(parent), m_contents(contents) {}

UnitListModel::~UnitListModel() = default;

window::ListContents& UnitListModel::own() {
    if (!m_own) throw std::logic_error("the list's rows are changed by their owner");
    return *m_own;
}

void UnitListModel::beginChange(window::ListChange change) {
    switch (change) {
        case window::ListChange::Reset:
            beginResetModel();
            break;
        case window::ListChange::Sorted: {
            emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
            m_before = persistentIndexList();
            m_beforeItems.clear();
            m_beforeItems.reserve(static_cast<std::size_t>(m_before.size()));
            for (const QModelIndex& index : m_before)
                m_beforeItems.push_back(m_contents.items()[static_cast<std::size_t>(index.row())]);
            break;
        }
        case window::ListChange::Refreshed:
            break;
    }
}

void UnitListModel::endChange(window::ListChange change) {
    switch (change) {
        case window::ListChange::Reset:
            endResetModel();
            break;
        case window::ListChange::Sorted: {
            QModelIndexList after;
            if (!m_before.isEmpty()) {
                std::unordered_map<ListItem, int, ItemHash> rows;
                const auto& items = m_contents.items();
                for (std::size_t row = 0; row < items.size(); ++row) {
                    rows.emplace(items[row], static_cast<int>(row));
                }
                for (qsizetype i = 0; i < m_before.size(); ++i) {
                    after << index(rows.at(m_beforeItems[static_cast<std::size_t>(i)]),
                                   m_before[i].column());
                }
            }
            changePersistentIndexList(m_before, after);
            m_before.clear();
            m_beforeItems.clear();
            emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
            break;
        }
        case window::ListChange::Refreshed:
            if (rowCount() > 0 && columnCount() > 0) {
                emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                                 {Qt::DisplayRole, Qt::DecorationRole});
            }
            break;
    }
}

void UnitListModel::setColumns(std::vector<Column> columns) {
    beginChange(window::ListChange::Reset);
    own().setColumns(std::move(columns));
    endChange(window::ListChange::Reset);
}

void UnitListModel::setItems(std::int32_t tab, std::vector<ListItem> items) {
    beginChange(window::ListChange::Reset);
    own().setItems(tab, std::move(items));
    endChange(window::ListChange::Reset);
}

void UnitListModel::setFilter(std::string_view text) {
    if (!m_contents.changesFilter(text)) return;
    beginChange(window::ListChange::Reset);
    own().setFilter(text);
    endChange(window::ListChange::Reset);
}

void UnitListModel::sortByColumn(std::size_t column) {
    beginChange(window::ListChange::Sorted);
    own().sortByColumn(column);
    endChange(window::ListChange::Sorted);
}

void UnitListModel::refreshState() {
    own().markStale();
    beginChange(window::ListChange::Refreshed);
    endChange(window::ListChange::Refreshed);
}

int UnitListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_contents.rowCount());
}

int UnitListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_contents.columns().size());
}

QVariant UnitListModel::data(const QModelIndex& index, int role) const {
    if (index.row() < 0 || index.column() < 0 || index.column() >= columnCount()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= m_contents.rowCount()) return {};
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QString::fromStdString(m_contents.cellText(row, column));
        case Qt::DecorationRole:
            if (column != 0) return {};
            return ListIcon(m_contents.rowIcon(row));
        case KeyRole:
            if (auto key = m_contents.rowKey(row)) return QString::fromStdString(*key);
            return {};
        default:
            return {};
    }
}

QVariant UnitListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) {
        return QString::fromStdString(
            m_contents.columns()[static_cast<std::size_t>(section)].header);
    }
    return {};
}

}  // namespace kloxmere::ui

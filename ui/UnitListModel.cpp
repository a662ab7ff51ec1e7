#include "ui/UnitListModel.h"

#include <QIcon>
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

// A cell as shown: a conflict description can run to thousands of
// characters, more than any screen holds and dear to lay out on every
// paint, so a long one is cut at a character boundary and ends in "...".
QString shown(const std::string& text) {
    constexpr std::size_t kShownBytes = 1000;
    if (text.size() <= kShownBytes) return QString::fromStdString(text);
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(cut)) + QStringLiteral("...");
}

}  // namespace

UnitListModel::UnitListModel(const Catalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent), m_catalogue(catalogue) {}

void UnitListModel::setColumns(std::vector<Column> columns) {
    beginResetModel();
    m_columns = std::move(columns);
    m_items.clear();
    m_allItems.clear();
    endResetModel();
}

void UnitListModel::setItems(std::int32_t tab, std::vector<ListItem> items) {
    beginResetModel();
    m_tab = tab;
    m_allItems = std::move(items);
    if (m_sortColumn) SortItems(m_catalogue, m_tab, *m_sortColumn, m_allItems);
    m_items = FilterItems(m_catalogue, m_tab, m_filter, m_allItems);
    m_filterStale = false;
    endResetModel();
}

void UnitListModel::setFilter(std::string_view text) {
    RowFilter filter(text);
    if (filter.folded() == m_filter.folded()) return;
    beginResetModel();
    if (filter.empty()) {
        m_items = m_allItems;
    } else {
        m_items = FilterItems(m_catalogue, m_tab, filter,
                              filter.narrows(m_filter) && !m_filterStale ? m_items : m_allItems);
    }
    m_filter = std::move(filter);
    m_filterStale = false;
    endResetModel();
}

void UnitListModel::sortByColumn(std::size_t column) {
    m_sortColumn = column;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<ListItem> old;
    old.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        old.push_back(m_items[static_cast<std::size_t>(index.row())]);

    applySort();

    QModelIndexList after;
    if (!before.isEmpty()) {
        std::unordered_map<ListItem, int, ItemHash> rows;
        for (std::size_t row = 0; row < m_items.size(); ++row) {
            rows.emplace(m_items[row], static_cast<int>(row));
        }
        for (qsizetype i = 0; i < before.size(); ++i) {
            after << index(rows.at(old[static_cast<std::size_t>(i)]), before[i].column());
        }
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// The rows shown keep the order of every row: sorting a subsequence stably
// gives the same subsequence of the sorted whole.
void UnitListModel::applySort() {
    if (!m_sortColumn) return;
    SortItems(m_catalogue, m_tab, *m_sortColumn, m_allItems);
    if (m_filter.empty()) {
        m_items = m_allItems;
    } else {
        SortItems(m_catalogue, m_tab, *m_sortColumn, m_items);
    }
}

void UnitListModel::refreshState() {
    m_filterStale = true;
    if (m_items.empty() || m_columns.empty()) return;
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                     {Qt::DisplayRole, Qt::DecorationRole});
}

const ListItem* UnitListModel::item(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_items.size()) return nullptr;
    return &m_items[static_cast<std::size_t>(row)];
}

int UnitListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

int UnitListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant UnitListModel::data(const QModelIndex& index, int role) const {
    const ListItem* row = item(index.row());
    if (!row || index.column() < 0 || index.column() >= columnCount()) return {};
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return shown(ItemText(m_catalogue, m_tab, *row, column));
        case Qt::DecorationRole:
            if (column != 0) return {};
            return ListIcon(ItemIcon(m_catalogue, *row));
        case KeyRole:
            if (auto key = ItemKey(m_catalogue, *row)) return QString::fromStdString(*key);
            return {};
        default:
            return {};
    }
}

QVariant UnitListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) {
        return QString::fromStdString(m_columns[static_cast<std::size_t>(section)].header);
    }
    return {};
}

}  // namespace kloxmere::ui

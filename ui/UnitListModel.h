#pragma once

// The list under the tabs: an adapter over the rows of the current tab
// (ListItem) and the column set above them. A cell is worded from its record
// only when the view asks for it, so a tab of 120,000 rows costs the rows on
// screen. The model reads the catalogue; it never changes it.

#include <QAbstractTableModel>
#include <cstdint>
#include <optional>
#include <vector>

#include "catalogue/ListFilter.h"
#include "catalogue/ListRows.h"

namespace kloxmere {
class Catalogue;
}

namespace kloxmere::ui {

class UnitListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // A unit row's UnitList key (a string), for the other rows an invalid QVariant.
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit UnitListModel(const Catalogue& catalogue, QObject* parent = nullptr);

    // The column headers; removes every row.
    void setColumns(std::vector<Column> columns);
    const std::vector<Column>& columns() const { return m_columns; }
    // The rows of tab `tab`, in order; sorted when a sort column was chosen,
    // and only those the filter keeps are shown.
    void setItems(std::int32_t tab, std::vector<ListItem> items);
    // The rows shown.
    const std::vector<ListItem>& items() const { return m_items; }
    // Every row of the tab, filtered out or not.
    std::size_t totalCount() const { return m_allItems.size(); }

    // Shows only the rows with `text` in a column (every row when empty).
    // A text that lengthens the last one looks only at the rows shown.
    void setFilter(std::string_view text);
    bool filtered() const { return !m_filter.empty(); }

    // Makes `column` (0 is the first) the sort column and sorts the rows by
    // it, ascending; later fills are sorted the same way.
    void sortByColumn(std::size_t column);
    std::optional<std::size_t> sortColumn() const { return m_sortColumn; }

    // The rows' icons and archive names follow their units' archives again.
    void refreshState();

    const ListItem* item(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    void applySort();

    const Catalogue& m_catalogue;
    std::int32_t m_tab = 0;
    std::vector<Column> m_columns;
    std::vector<ListItem> m_items;     // the rows shown
    std::vector<ListItem> m_allItems;  // every row of the tab, in the same order
    RowFilter m_filter;
    // A rename may have changed the cells the rows shown were kept by, so the
    // next filter looks at every row again.
    bool m_filterStale = false;
    std::optional<std::size_t> m_sortColumn;
};

}  // namespace kloxmere::ui

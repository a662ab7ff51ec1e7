#pragma once

// The rows of the list under the tabs, free of any widget: the column set,
// every row of the current tab, the rows the filter keeps, and the sort
// column. A cell is worded from its record only when asked for, so a virtual
// list of 120,000 rows costs the rows on screen. It reads the catalogue; it
// never changes it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ListFilter.h"
#include "catalogue/ListRows.h"

namespace kloxmere {
class Catalogue;
class clsUnit;
}  // namespace kloxmere

namespace kloxmere::window {

class ListContents {
  public:
    explicit ListContents(const Catalogue& catalogue);

    // The column headers; removes every row.
    void setColumns(std::vector<Column> columns);
    const std::vector<Column>& columns() const { return m_columns; }
    // The rows of tab `tab`, in order; sorted when a sort column was chosen,
    // and only those the filter keeps are shown.
    void setItems(std::int32_t tab, std::vector<ListItem> items);
    std::int32_t tab() const { return m_tab; }
    // The rows shown.
    const std::vector<ListItem>& items() const { return m_items; }
    std::size_t rowCount() const { return m_items.size(); }
    // Every row of the tab, filtered out or not.
    std::size_t totalCount() const { return m_allItems.size(); }

    // Shows only the rows with `text` in a column (every row when empty).
    // A text that lengthens the last one looks only at the rows shown.
    // False when the filter is the one in force (nothing changes).
    bool setFilter(std::string_view text);
    bool filtered() const { return !m_filter.empty(); }
    // Whether `text` would filter differently from the filter in force.
    bool changesFilter(std::string_view text) const;

    // Makes `column` (0 is the first) the sort column and sorts the rows by
    // it, ascending; later fills are sorted the same way.
    void sortByColumn(std::size_t column);
    std::optional<std::size_t> sortColumn() const { return m_sortColumn; }

    // A switch changed the archives the rows show: the next filter looks at
    // every row again.
    void markStale() { m_filterStale = true; }

    // The row shown at `row`, or nullptr.
    const ListItem* item(std::size_t row) const;
    const ListItem* item(int row) const;
    // A cell as shown: a conflict description can run to thousands of
    // characters, more than any screen holds, so a long one is cut at a
    // character boundary and ends in "...". "" outside the rows and columns.
    std::string cellText(std::size_t row, std::size_t column) const;
    // The row's icon in the list image list; 0 outside the rows.
    int rowIcon(std::size_t row) const;
    // A unit row's UnitList key; nullopt for the other rows.
    std::optional<std::string> rowKey(std::size_t row) const;
    // The row showing `unit`, or nullopt.
    std::optional<std::size_t> rowOfUnit(const clsUnit* unit) const;

  private:
    void applySort();

    const Catalogue& m_catalogue;
    std::int32_t m_tab = 0;
    std::vector<Column> m_columns;
    std::vector<ListItem> m_items;     // the rows shown
    std::vector<ListItem> m_allItems;  // every row of the tab, in the same order
    RowFilter m_filter;
    bool m_filterStale = false;
    std::optional<std::size_t> m_sortColumn;
};

// Cuts `text` to at most 1000 bytes at a UTF-8 character boundary, ending in
// "..." when it was cut.
std::string ShownCellText(const std::string& text);

// "12 of 1,441 rows": the status bar's words for a filtered list (digits
// grouped by threes with commas whatever the locale: the other texts are
// English too).
std::string FilteredRowsText(std::size_t shown, std::size_t total);

}  // namespace kloxmere::window

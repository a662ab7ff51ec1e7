#pragma once

// The list under the tabs: a Qt adapter over the rows of the current tab
// (window::ListContents). A cell is worded from its record only when the view
// asks for it, so a tab of 120,000 rows costs the rows on screen. The model
// reads the catalogue; it never changes it.
//
// The rows are either the model's own (tests of the model alone) or the main
// window presenter's, which changes them and tells the model through
// beginChange and endChange.

#include <QAbstractTableModel>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "catalogue/ListRows.h"
#include "window/ListContents.h"
#include "window/MainView.h"

namespace kloxmere {
class Catalogue;
}

namespace kloxmere::ui {

class UnitListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // A unit row's UnitList key (a string), for the other rows an invalid QVariant.
    static constexpr int KeyRole = Qt::UserRole + 1;

    // Rows of its own.
    explicit UnitListModel(const Catalogue& catalogue, QObject* parent = nullptr);
    // The rows of `contents`, which must outlive the model; they are changed
    // by their owner only (the setters below throw std::logic_error).
    explicit UnitListModel(const window::ListContents& contents, QObject* parent = nullptr);
    ~UnitListModel() override;

    // Around a change of the rows made by their owner.
    void beginChange(window::ListChange change);
    void endChange(window::ListChange change);

    // Rows of its own: the column headers; removes every row.
    void setColumns(std::vector<Column> columns);
    const std::vector<Column>& columns() const { return m_contents.columns(); }
    // The rows of tab `tab`, in order; sorted when a sort column was chosen,
    // and only those the filter keeps are shown.
    void setItems(std::int32_t tab, std::vector<ListItem> items);
    // The rows shown.
    const std::vector<ListItem>& items() const { return m_contents.items(); }
    // Every row of the tab, filtered out or not.
    std::size_t totalCount() const { return m_contents.totalCount(); }

    // Shows only the rows with `text` in a column (every row when empty).
    void setFilter(std::string_view text);
    bool filtered() const { return m_contents.filtered(); }

    // Makes `column` (0 is the first) the sort column and sorts the rows by
    // it, ascending; later fills are sorted the same way.
    void sortByColumn(std::size_t column);
    std::optional<std::size_t> sortColumn() const { return m_contents.sortColumn(); }

    // The rows' icons and archive names follow their units' archives again.
    void refreshState();

    const ListItem* item(int row) const { return m_contents.item(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    window::ListContents& own();

    std::unique_ptr<window::ListContents> m_own;
    const window::ListContents& m_contents;
    // While the rows are sorted: the persistent indexes and their rows before.
    QModelIndexList m_before;
    std::vector<ListItem> m_beforeItems;
};

}  // namespace kloxmere::ui

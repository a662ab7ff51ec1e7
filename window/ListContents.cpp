#include "window/ListContents.h"

#include "catalogue/Catalogue.h"

namespace kloxmere::window {

std::string ShownCellText(const std::string& text) {
    constexpr std::size_t kShownBytes = 1000;
    if (text.size() <= kShownBytes) return text;
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

namespace {

std::string grouped(std::size_t number) {
    std::string digits = std::to_string(number);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

}  // namespace

std::string FilteredRowsText(std::size_t shown, std::size_t total) {
    return grouped(shown) + " of " + grouped(total) + (total == 1 ? " row" : " rows");
}

ListContents::ListContents(const Catalogue& catalogue) : m_catalogue(catalogue) {}

void ListContents::setColumns(std::vector<Column> columns) {
    m_columns = std::move(columns);
    m_items.clear();
    m_allItems.clear();
}

void ListContents::setItems(std::int32_t tab, std::vector<ListItem> items) {
    m_tab = tab;
    m_allItems = std::move(items);
    if (m_sortColumn) SortItems(m_catalogue, m_tab, *m_sortColumn, m_allItems);
    m_items = FilterItems(m_catalogue, m_tab, m_filter, m_allItems);
    m_filterStale = false;
}

bool ListContents::changesFilter(std::string_view text) const {
    return RowFilter(text).folded() != m_filter.folded();
}

bool ListContents::setFilter(std::string_view text) {
    RowFilter filter(text);
    if (filter.folded() == m_filter.folded()) return false;
    if (filter.empty()) {
        m_items = m_allItems;
    } else {
        m_items = FilterItems(m_catalogue, m_tab, filter,
                              filter.narrows(m_filter) && !m_filterStale ? m_items : m_allItems);
    }
    m_filter = std::move(filter);
    m_filterStale = false;
    return true;
}

void ListContents::sortByColumn(std::size_t column) {
    m_sortColumn = column;
    applySort();
}

// The rows shown keep the order of every row: sorting a subsequence stably
// gives the same subsequence of the sorted whole.
void ListContents::applySort() {
    if (!m_sortColumn) return;
    SortItems(m_catalogue, m_tab, *m_sortColumn, m_allItems);
    if (m_filter.empty()) {
        m_items = m_allItems;
    } else {
        SortItems(m_catalogue, m_tab, *m_sortColumn, m_items);
    }
}

const ListItem* ListContents::item(std::size_t row) const {
    return row < m_items.size() ? &m_items[row] : nullptr;
}

const ListItem* ListContents::item(int row) const {
    return row < 0 ? nullptr : item(static_cast<std::size_t>(row));
}

std::string ListContents::cellText(std::size_t row, std::size_t column) const {
    const ListItem* shown = item(row);
    if (!shown || column >= m_columns.size()) return {};
    return ShownCellText(ItemText(m_catalogue, m_tab, *shown, column));
}

int ListContents::rowIcon(std::size_t row) const {
    const ListItem* shown = item(row);
    return shown ? ItemIcon(m_catalogue, *shown) : 0;
}

std::optional<std::string> ListContents::rowKey(std::size_t row) const {
    const ListItem* shown = item(row);
    if (!shown) return std::nullopt;
    return ItemKey(m_catalogue, *shown);
}

std::optional<std::size_t> ListContents::rowOfUnit(const clsUnit* unit) const {
    if (!unit) return std::nullopt;
    for (std::size_t row = 0; row < m_items.size(); ++row) {
        if (ItemUnit(m_catalogue, m_items[row]) == unit) return row;
    }
    return std::nullopt;
}

}  // namespace kloxmere::window

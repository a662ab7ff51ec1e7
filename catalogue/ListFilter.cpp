#include "catalogue/ListFilter.h"

#include <algorithm>

#include "base/TextCase.h"

namespace kloxmere {

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::size_t tabColumns(std::int32_t tab) {
    if (tab < 0 || tab >= static_cast<std::int32_t>(kTabCaptions.size())) return 0;
    return ColumnSet(kTabCaptions[static_cast<std::size_t>(tab)]).size();
}

}  // namespace

RowFilter::RowFilter(std::string_view text) : m_needle(FoldCase(text)) {
    m_asciiNeedle = IsAscii(m_needle);
}

bool RowFilter::matches(std::string_view cell) const {
    if (m_needle.empty()) return true;
    if (IsAscii(cell)) {
        // Folding never turns a letter beyond ASCII into an ASCII one, so an
        // ASCII cell can hold only an ASCII text; it is searched in place.
        if (!m_asciiNeedle) return false;
        return std::search(cell.begin(), cell.end(), m_needle.begin(), m_needle.end(),
                           [](char a, char b) { return asciiLower(a) == b; }) != cell.end();
    }
    return FoldCase(cell).find(m_needle) != std::string::npos;
}

bool RowFilter::keeps(const Catalogue& catalogue, std::int32_t tab, const ListItem& item) const {
    if (empty()) return true;
    const std::size_t columns = item.kind == ListItemKind::FreeNumber ? 1 : tabColumns(tab);
    for (std::size_t column = 0; column < columns; ++column) {
        if (matches(ItemText(catalogue, tab, item, column))) return true;
    }
    return false;
}

bool RowFilter::narrows(const RowFilter& earlier) const {
    return m_needle.find(earlier.m_needle) != std::string::npos;
}

std::vector<ListItem> FilterItems(const Catalogue& catalogue, std::int32_t tab,
                                  const RowFilter& filter, const std::vector<ListItem>& items) {
    if (filter.empty()) return items;
    std::vector<ListItem> kept;
    for (const ListItem& item : items) {
        if (filter.keeps(catalogue, tab, item)) kept.push_back(item);
    }
    return kept;
}

}  // namespace kloxmere

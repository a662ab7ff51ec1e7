#pragma once

// The list's filter: a row stays when any column its tab shows contains the
// filter's text, taken literally and without regard to case (the letters
// TextCase folds, so "É" finds "é"). The tree node, the view switches and the
// tab have chosen the rows already; the filter only drops some of them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ListRows.h"

namespace kloxmere {

class Catalogue;

class RowFilter {
  public:
    explicit RowFilter(std::string_view text = {});

    // An empty filter keeps every row.
    bool empty() const { return m_needle.empty(); }
    // The filter's text, case-folded.
    const std::string& folded() const { return m_needle; }
    // Whether `cell` contains the filter's text.
    bool matches(std::string_view cell) const;
    // Whether any column of `item` on tab `tab` contains it.
    bool keeps(const Catalogue& catalogue, std::int32_t tab, const ListItem& item) const;
    // Whether every row this filter keeps is among the rows `earlier` kept
    // (its text contains the earlier one's), so a keystroke that lengthens the
    // text need only look at the rows still shown.
    bool narrows(const RowFilter& earlier) const;

  private:
    std::string m_needle;
    bool m_asciiNeedle = true;
};

// The items of `items` that `filter` keeps, in their order.
std::vector<ListItem> FilterItems(const Catalogue& catalogue, std::int32_t tab,
                                  const RowFilter& filter, const std::vector<ListItem>& items);

}  // namespace kloxmere

#include "cli/TextTable.h"

#include <algorithm>
#include <ostream>

#include "base/TextCase.h"

namespace kloxmere::cli {

void TextTable::print(std::ostream& out) const {
    std::vector<std::size_t> widths(m_headers.size(), 0);
    auto measure = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], CharacterCount(cells[i]));
        }
    };
    measure(m_headers);
    for (const auto& row : m_rows) measure(row);
    auto printRow = [&](const std::vector<std::string>& cells) {
        std::string line;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const std::string cell = i < cells.size() ? cells[i] : std::string();
            line += cell;
            if (i + 1 < widths.size())
                line += std::string(widths[i] - CharacterCount(cell) + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    };
    printRow(m_headers);
    for (const auto& row : m_rows) printRow(row);
}

}  // namespace kloxmere::cli

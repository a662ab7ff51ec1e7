#pragma once

// Aligned text columns for the terminal.

#include <iosfwd>
#include <string>
#include <vector>

namespace kloxmere::cli {

class TextTable {
  public:
    explicit TextTable(std::vector<std::string> headers) : m_headers(std::move(headers)) {}
    void addRow(std::vector<std::string> cells) { m_rows.push_back(std::move(cells)); }
    // Columns padded to their widest cell (counted in characters), two blanks
    // apart; the last column is not padded.
    void print(std::ostream& out) const;

  private:
    std::vector<std::string> m_headers;
    std::vector<std::vector<std::string>> m_rows;
};

}  // namespace kloxmere::cli

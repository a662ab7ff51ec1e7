#pragma once

// The text field above the list that filters its rows as the user types.
// Escape in it clears it.

#include <QLineEdit>

namespace kloxmere::ui {

class FilterBox : public QLineEdit {
    Q_OBJECT
  public:
    explicit FilterBox(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// "12 of 1,441 rows": the status bar's words for a filtered list.
QString FilteredRowsText(std::size_t shown, std::size_t total);

}  // namespace kloxmere::ui

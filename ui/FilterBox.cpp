#include "ui/FilterBox.h"

#include <QKeyEvent>
#include <QToolButton>

namespace kloxmere::ui {

namespace {

// Digits grouped by threes with commas, whatever the system's locale: the
// window's other texts are English too.
QString grouped(std::size_t number) {
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, ',');
    return digits;
}

}  // namespace

FilterBox::FilterBox(QWidget* parent) : QLineEdit(parent) {
    setObjectName("FilterBox");
    setAccessibleName("Filter");
    setPlaceholderText("Filter (Ctrl+F)");
    setClearButtonEnabled(true);
    // The clear button Qt adds has no caption of its own for a screen reader.
    for (QToolButton* button : findChildren<QToolButton*>())
        button->setAccessibleName("Clear filter");
}

void FilterBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

QString FilteredRowsText(std::size_t shown, std::size_t total) {
    return grouped(shown) + " of " + grouped(total) + (total == 1 ? " row" : " rows");
}

}  // namespace kloxmere::ui

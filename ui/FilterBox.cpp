#include "ui/FilterBox.h"

#include <QKeyEvent>
#include <QToolButton>

#include "window/ListContents.h"

namespace kloxmere::ui {

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
    return QString::fromStdString(window::FilteredRowsText(shown, total));
}

}  // namespace kloxmere::ui

#include "ui/SplitterBar.h"

#include <QMouseEvent>

#include "ui/Twips.h"

namespace kloxmere::ui {

int MouseButtonNumber(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

namespace {

int buttonsNumber(Qt::MouseButtons buttons) {
    int number = 0;
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons & button) number |= MouseButtonNumber(button);
    }
    return number;
}

double xTwips(const QMouseEvent* event) {
    return event->position().x() * TwipsPerPixel();
}

}  // namespace

SplitterBar::SplitterBar(QWidget* parent) : QWidget(parent) {
    setObjectName("PicSplitter");
    setAccessibleName("Splitter");
    setAccessibleDescription("Drag to change the width of the tree");
    setCursor(Qt::SizeHorCursor);
    setAutoFillBackground(true);
    setDragColour(false);
}

void SplitterBar::setDragColourValue(const QColor& colour) {
    m_dragColour = colour;
}

void SplitterBar::setDragColour(bool dragging) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, dragging ? m_dragColour : colours.color(QPalette::Button));
    setPalette(colours);
    update();
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(MouseButtonNumber(event->button()), xTwips(event));
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(buttonsNumber(event->buttons()), xTwips(event));
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(MouseButtonNumber(event->button()), xTwips(event));
}

}  // namespace kloxmere::ui

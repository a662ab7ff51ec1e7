#pragma once

// The bar between the tree and the list. It only reports the mouse, in the
// window's terms (button 1 left, 2 right, 4 middle; X in twips from the bar's
// left edge); the main window decides where the bar goes.

#include <QWidget>

namespace kloxmere::ui {

class SplitterBar : public QWidget {
    Q_OBJECT
  public:
    explicit SplitterBar(QWidget* parent = nullptr);

    // The bar's colour: the drag colour while dragged, else the button face.
    void setDragColour(bool dragging);
    void setDragColourValue(const QColor& colour);

  signals:
    void mouseDown(int button, double x);
    void mouseMove(int button, double x);
    void mouseUp(int button, double x);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QColor m_dragColour{128, 128, 128};
};

// The window's button number for a Qt mouse button.
int MouseButtonNumber(Qt::MouseButton button);

}  // namespace kloxmere::ui

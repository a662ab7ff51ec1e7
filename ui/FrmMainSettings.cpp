// The main window's frame as the settings keep it: where it is, its size and
// its state, read when the settings are saved and placed when they are loaded.

#include <QEvent>
#include <QTimer>

#include "app/Settings.h"
#include "ui/FrmMain.h"
#include "ui/Twips.h"

namespace kloxmere::ui {

namespace {

// Before the window is first shown its frame is not known yet, so a stored
// outer size is first given to the inner area. Once the window manager has
// framed the window, the inner area is shrunk by the frame so that the outer
// size is the stored one again (and does not grow by a frame every run).
class OuterSizeKeeper final : public QObject {
  public:
    OuterSizeKeeper(QWidget* window, QSize outer)
        : QObject(window), m_window(window), m_outer(outer) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show) {
            // The frame comes with the window manager's answer, a moment after the show.
            for (int delay : {0, 100, 400, 1000})
                QTimer::singleShot(delay, this, [this] { fit(); });
            QTimer::singleShot(1100, this, [this] { deleteLater(); });
        }
        return false;
    }

  private:
    void fit() {
        if (m_window->windowState() != Qt::WindowNoState) return;
        const QSize frame = m_window->frameGeometry().size() - m_window->geometry().size();
        if (frame == QSize(0, 0) || m_window->frameGeometry().size() == m_outer) return;
        m_window->resize(m_outer - frame);
        deleteLater();
    }

    QWidget* m_window;
    QSize m_outer;
};

WindowState stateOf(Qt::WindowStates states) {
    if (states & Qt::WindowMinimized) return WindowState::Minimized;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) return WindowState::Maximized;
    return WindowState::Normal;
}

Qt::WindowStates qtState(WindowState state) {
    switch (state) {
        case WindowState::Minimized:
            return Qt::WindowMinimized;
        case WindowState::Maximized:
            return Qt::WindowMaximized;
        case WindowState::Normal:
            break;
    }
    return Qt::WindowNoState;
}

}  // namespace

WindowPlacement FrmMain::FramePlacement() const {
    const QRect frame = frameGeometry();
    WindowPlacement placement;
    placement.Left = ToTwips(frame.x());
    placement.Top = ToTwips(frame.y());
    placement.Width = ToTwips(frame.width());
    placement.Height = ToTwips(frame.height());
    placement.State = stateOf(windowState());
    return placement;
}

void FrmMain::PlaceFrame(const WindowPlacement& placement, const WindowPlacement& current) {
    if (placement.Left != current.Left || placement.Top != current.Top) {
        move(ToPixels(placement.Left), ToPixels(placement.Top));  // the frame's corner
    }
    if (placement.Width != current.Width || placement.Height != current.Height) {
        const QSize outer(ToPixels(placement.Width), ToPixels(placement.Height));
        const QSize frame = frameGeometry().size() - geometry().size();
        resize(outer - frame);
        if (!isVisible()) new OuterSizeKeeper(this, outer);
    }
    if (placement.State != current.State) setWindowState(qtState(placement.State));
}

}  // namespace kloxmere::ui

// The main window's file association, command line and settings: the steps
// of the start-up before the splash window, the settings load after the scan
// and the settings save at shut-down.

#include <QEvent>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "app/modRegistry.h"
#include "catalogue/Schemas.h"
#include "ui/FrmMain.h"
#include "ui/Twips.h"

namespace kloxmere::ui {

namespace {

constexpr const char* kSchemaDescription = "TA Unit List";

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

void FrmMain::registerFileType() {
    if (m_options.programPath.empty()) return;
    // Whether the association could be written does not matter to the start.
    RegisterFileType("uls", m_options.programPath, "", kApplicationTitle, kSchemaDescription);
}

bool FrmMain::InitializeCommands() {
    const std::optional<std::string> schema = SchemaFileArgument(m_options.commandLine);
    if (!schema) return false;
    try {
        const std::string directory = LocateTADirectory(m_session);
        ApplySchemaFile(*schema, directory, m_session.services);
    } catch (const TADirectoryNotFound&) {
        // no TA directory was given: nothing is applied, and the program ends all the same
    }
    return true;
}

WindowPlacement FrmMain::currentPlacement() const {
    const QRect frame = frameGeometry();
    WindowPlacement placement;
    placement.SliderLeft = m_layout.PicSplitter.left;
    placement.Left = ToTwips(frame.x());
    placement.Top = ToTwips(frame.y());
    placement.Width = ToTwips(frame.width());
    placement.Height = ToTwips(frame.height());
    placement.State = stateOf(windowState());
    return placement;
}

void FrmMain::applyPlacement(const WindowPlacement& placement) {
    const WindowPlacement current = currentPlacement();
    if (placement.SliderLeft != current.SliderLeft) {
        m_layout.PicSplitter.left = placement.SliderLeft;  // restoring applies no limits
        Form_Resize();
    }
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

void FrmMain::SettingsLoad() {
    if (!m_options.settings) return;
    m_settingsLoaded = true;
    WindowPlacement placement = currentPlacement();
    kloxmere::SettingsLoad(*m_options.settings, m_session, placement);
    applyPlacement(placement);
}

void FrmMain::SettingsSave() {
    if (!m_options.settings) return;
    kloxmere::SettingsSave(*m_options.settings, m_session, currentPlacement());
}

}  // namespace kloxmere::ui

#pragma once

// The splash window shown at start-up: the program's logo picture with no
// title bar, centred on the screen. It shows the busy pointer for the whole
// application while it is up and closes itself after TmrUnload's interval.

#include <QDialog>

class QLabel;
class QTimer;

namespace kloxmere::ui {

class FrmLogo : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kUnloadMilliseconds = 2000;

    explicit FrmLogo(QWidget* parent = nullptr);
    ~FrmLogo() override;

    QLabel* Picture1;
    // Fires once, kUnloadMilliseconds after the window is shown.
    QTimer* TmrUnload;

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    void TmrUnload_Timer();
    void setBusy(bool busy);

    bool m_busy = false;
};

}  // namespace kloxmere::ui

#pragma once

// The progress window shown during the installation scan: a status line and
// a bar from 0 to 100. The user cannot close it; its callers show and hide it.

#include <QDialog>
#include <cstdint>
#include <optional>

class QLabel;
class QProgressBar;

namespace kloxmere::ui {

class FrmProgress : public QDialog {
    Q_OBJECT
  public:
    explicit FrmProgress(QWidget* parent = nullptr);

    QLabel* Status;
    QProgressBar* Progress;

    // Sets the bar to the percentage of `value` in `max` (window::ProgressPercent)
    // and lets pending events run.
    void Update(std::int32_t value, std::int32_t max);
    // Lets pending events run, so the window repaints during long loops.
    void RefreshForm();

    // Centres the window on the screen.
    void centreOnScreen();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape does not close it either
};

}  // namespace kloxmere::ui

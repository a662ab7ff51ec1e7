#pragma once

// "Choose your TA installation": the installations found, one a row
// (directory, archive count, what found it), with OK, "Other..." and Cancel.
// A double click on a row chooses it. Shown modally; its answer is Answer().

#include <QDialog>
#include <vector>

#include "base/PlatformServices.h"

class QPushButton;
class QTreeWidget;

namespace kloxmere::ui {

class FrmInstallations : public QDialog {
    Q_OBJECT
  public:
    explicit FrmInstallations(const std::vector<InstallationChoice>& found,
                              QWidget* parent = nullptr);

    QTreeWidget* LstInstallations;
    QPushButton* CmdOk;
    QPushButton* CmdOther;
    QPushButton* CmdCancel;

    // Cancelled until OK, a double click or "Other...".
    const InstallationAnswer& Answer() const { return m_answer; }

  private:
    void choose();

    InstallationAnswer m_answer;
};

}  // namespace kloxmere::ui

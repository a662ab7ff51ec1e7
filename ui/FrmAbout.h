#pragma once

// "About Kloxmere": the program's name and version, a notice, the credits in
// a text box that can be read, selected and copied but not changed, links
// opened by the desktop to the manual and to the folder of the player's own
// Kloxmere files, and OK. A link whose target is not there is left out.

#include <QDialog>
#include <QUrl>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kloxmere::ui {

// Where the links lead; an empty one is left out.
struct AboutLinks {
    QUrl manual;     // Label1: the README that ships with the program
    QUrl userFiles;  // Label4: the user data directory (groups, fast-load lists)

    // The running program's manual and `userDataDirectory`.
    static AboutLinks ForThisProgram(const std::string& userDataDirectory);
    // The same with the program's own user data directory.
    static AboutLinks ForThisProgram();
};

// "Kloxmere 1.0": the name with the major and minor version.
QString ProgramNameAndVersion();

class FrmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit FrmAbout(QWidget* parent = nullptr, AboutLinks links = AboutLinks::ForThisProgram());

    QLabel* Image1;
    QLabel* LblName;
    QLabel* LblNotice;
    QPlainTextEdit* TxtInfo;
    QLabel* Label1;
    QLabel* Label4;
    QPushButton* BtnOK;

  public slots:
    void Label1_Click();
    void Label4_Click();
    void BtnOK_Click();

  protected:
    // Keeps Enter inside TxtInfo, as every other key typed there.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    AboutLinks m_links;
};

}  // namespace kloxmere::ui

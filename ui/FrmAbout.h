#pragma once

// "About Kloxmere": the program's name and version, a notice, the credits in
// a text box that can be read, selected and copied but not changed, three
// links opened by the desktop, and OK.

#include <QDialog>
#include <QUrl>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kloxmere::ui {

// Where the three links lead.
struct AboutLinks {
    static const QUrl kProjectPage;  // Label1
    static const QUrl kMail;         // Label4
    static const QUrl kHomePage;     // LblHomePage
};

// "Kloxmere 1.0": the name with the major and minor version.
QString ProgramNameAndVersion();

class FrmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit FrmAbout(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* LblName;
    QLabel* LblNotice;
    QPlainTextEdit* TxtInfo;
    QLabel* Label1;
    QLabel* Label4;
    QLabel* LblHomePage;
    QPushButton* BtnOK;

  public slots:
    void Label1_Click();
    void Label4_Click();
    void LblHomePage_Click();
    void BtnOK_Click();

  protected:
    // Keeps Enter inside TxtInfo, as every other key typed there.
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kloxmere::ui

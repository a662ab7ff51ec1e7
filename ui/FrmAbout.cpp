#include "ui/FrmAbout.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/Locations.h"
#include "app/Manual.h"
#include "base/Version.h"
#include "ui/Icons.h"
#include "ui/Twips.h"

namespace kloxmere::ui {

AboutLinks AboutLinks::ForThisProgram(const std::string& userDataDirectory) {
    AboutLinks links;
    if (const std::string manual = FindManual(ExecutableDirectory()); !manual.empty()) {
        links.manual = QUrl::fromLocalFile(QString::fromStdString(manual));
    }
    if (!userDataDirectory.empty()) {
        links.userFiles = QUrl::fromLocalFile(QString::fromStdString(userDataDirectory));
    }
    return links;
}

AboutLinks AboutLinks::ForThisProgram() {
    return ForThisProgram(UserDataDirectory());
}

namespace {

const char* const kNotice =
    "Kloxmere switches archives on and off by renaming them and never changes "
    "what is inside them. It comes without any warranty.";

const char* const kCredits =
    "Kloxmere catalogues the unit archives of a TA installation (*.hpi, *.ccx, "
    "*.ufo), finds units that share a weapon number and build menus that clash, "
    "and switches archives on and off.\n"
    "\n"
    "Written in C++20 with Qt 6. Archives are decompressed with libdeflate.\n"
    "\n"
    "The icons and the logo were drawn for Kloxmere.\n"
    "\n"
    "Thanks to everyone who still makes, shares and plays TA units.";

// A label that opens its link through the desktop when clicked, or when
// Enter is pressed on it.
QLabel* linkLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::RichText);
    label->setText("<a href=\"#\">" + caption.toHtmlEscaped() + "</a>");
    label->setAccessibleName(caption);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

void openLink(const QUrl& target) {
    // A target the desktop cannot open is passed over without a message.
    QDesktopServices::openUrl(target);
}

}  // namespace

QString ProgramNameAndVersion() {
    return QStringLiteral("Kloxmere %1.%2").arg(kVersionMajor).arg(kVersionMinor);
}

FrmAbout::FrmAbout(QWidget* parent, AboutLinks links)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Image1(new QLabel(this)),
      LblName(new QLabel(ProgramNameAndVersion(), this)),
      LblNotice(new QLabel(kNotice, this)),
      TxtInfo(new QPlainTextEdit(kCredits, this)),
      Label1(linkLabel(this, "Label1", "The Kloxmere manual")),
      Label4(linkLabel(this, "Label4", "Your Kloxmere files")),
      BtnOK(new QPushButton("OK", this)),
      m_links(std::move(links)) {
    setObjectName("FrmAbout");
    setWindowTitle("About Kloxmere");
    setFixedSize(ToPixels(5160), ToPixels(3855));

    Image1->setObjectName("Image1");
    Image1->setAccessibleName("Kloxmere");
    Image1->setGeometry(TwipsRect(240, 240, 480, 480));
    Image1->setPixmap(ProgramIcon().pixmap(Image1->size()));

    QFont bold = LblName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    LblName->setObjectName("LblName");
    LblName->setFont(bold);
    LblName->setGeometry(TwipsRect(960, 240, 3960, 360));

    LblNotice->setObjectName("LblNotice");
    LblNotice->setWordWrap(true);
    LblNotice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LblNotice->setGeometry(TwipsRect(960, 630, 3960, 720));

    // Read-only: typing, Delete, cutting and pasting change nothing, while
    // the text can still be selected with mouse and keyboard and copied.
    TxtInfo->setObjectName("TxtInfo");
    TxtInfo->setAccessibleName("Credits");
    TxtInfo->setReadOnly(true);
    TxtInfo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    TxtInfo->setGeometry(TwipsRect(240, 1440, 4680, 1200));
    TxtInfo->installEventFilter(this);

    Label1->setGeometry(TwipsRect(240, 2790, 3480, 255));
    Label4->setGeometry(TwipsRect(240, 3060, 3480, 255));
    Label1->setVisible(!m_links.manual.isEmpty());
    Label4->setVisible(!m_links.userFiles.isEmpty());

    BtnOK->setObjectName("BtnOK");
    BtnOK->setGeometry(TwipsRect(3945, 3270, 975, 375));
    BtnOK->setDefault(true);
    BtnOK->setFocus();

    connect(Label1, &QLabel::linkActivated, this, &FrmAbout::Label1_Click);
    connect(Label4, &QLabel::linkActivated, this, &FrmAbout::Label4_Click);
    connect(BtnOK, &QPushButton::clicked, this, &FrmAbout::BtnOK_Click);
}

void FrmAbout::Label1_Click() {
    openLink(m_links.manual);
}

void FrmAbout::Label4_Click() {
    openLink(m_links.userFiles);
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtInfo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAbout::BtnOK_Click() {
    accept();
}

}  // namespace kloxmere::ui

#include "ui/FrmDirectory.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "base/PlatformServices.h"
#include "ui/Twips.h"

namespace kloxmere::ui {

namespace {

// Shows a long path shortened in the middle while its text stays whole, so
// that OK takes the full path and a screen reader reads it.
class PathLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
        painter.drawText(contentsRect(), int(alignment()), shown);
    }
};

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

FrmDirectory::FrmDirectory(PlatformServices& services, QWidget* parent,
                           const QString& startDirectory, QList<DriveEntry> drives)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      LblPath(new PathLabel(this)),
      Dir(new DirectoryList(this)),
      Drive(new QComboBox(this)),
      CmdOk(new QPushButton("OK", this)),
      CmdCancel(new QPushButton("Cancel", this)),
      CmdMakeDir(new QPushButton("&Create...", this)),
      m_services(services),
      m_drives(std::move(drives)) {
    setObjectName("FrmDirectory");
    setWindowTitle("Select a directory");
    setFixedSize(ToPixels(4455), ToPixels(2895));

    LblPath->setObjectName("LblPath");
    LblPath->setGeometry(TwipsRect(120, 120, 3135, 255));
    LblPath->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Dir->setObjectName("Dir");
    Dir->setAccessibleName("Directories");
    Dir->setGeometry(TwipsRect(120, 480, 3135, 1890));
    Drive->setObjectName("Drive");
    Drive->setAccessibleName("Drives");
    Drive->setGeometry(TwipsRect(120, 2460, 3135, 315));
    CmdOk->setObjectName("CmdOk");
    CmdOk->setGeometry(TwipsRect(3360, 480, 975, 375));
    CmdOk->setDefault(true);
    CmdCancel->setObjectName("CmdCancel");
    CmdCancel->setGeometry(TwipsRect(3360, 960, 975, 375));
    CmdMakeDir->setObjectName("CmdMakeDir");
    CmdMakeDir->setGeometry(TwipsRect(3360, 1440, 975, 375));

    // The label takes no focus; the tab order runs on from it.
    setTabOrder(Drive, Dir);
    setTabOrder(Dir, CmdOk);
    setTabOrder(CmdOk, CmdCancel);
    setTabOrder(CmdCancel, CmdMakeDir);

    for (const DriveEntry& drive : m_drives) Drive->addItem(drive.label, drive.root);
    Form_Load(startDirectory.isEmpty() ? QDir::currentPath() : startDirectory);

    connect(CmdOk, &QPushButton::clicked, this, &FrmDirectory::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmDirectory::CmdCancel_Click);
    connect(CmdMakeDir, &QPushButton::clicked, this, &FrmDirectory::CmdMakeDir_Click);
    connect(Drive, &QComboBox::activated, this, &FrmDirectory::Drive_Change);
    connect(Dir, &DirectoryList::Change, this, &FrmDirectory::Dir_Change);
}

void FrmDirectory::Form_Load(const QString& startDirectory) {
    m_selectedDirectory.clear();
    // Open the start directory; when it cannot be opened, the root of its
    // drive, or failing that the first drive that opens.
    QStringList candidates{startDirectory};
    int drive = DriveIndexFor(m_drives, startDirectory);
    if (drive >= 0) candidates << m_drives[drive].root;
    for (const DriveEntry& entry : m_drives) candidates << entry.root;
    candidates << QDir::rootPath();
    for (const QString& candidate : candidates) {
        if (Dir->setPath(candidate)) break;
    }
    showDriveOf(Dir->path());
    Dir_Change();
}

void FrmDirectory::showDriveOf(const QString& path) {
    int index = DriveIndexFor(m_drives, path);
    if (index >= 0) Drive->setCurrentIndex(index);
}

void FrmDirectory::Dir_Change() {
    LblPath->setText(native(Dir->path()));
    int drive = DriveIndexFor(m_drives, Dir->path());
    if (drive >= 0) m_driveDirectory.insert(m_drives[drive].root, Dir->path());
}

void FrmDirectory::Drive_Change(int index) {
    if (index < 0 || index >= m_drives.size()) return;
    const DriveEntry& drive = m_drives[index];
    if (DriveIndexFor(m_drives, Dir->path()) == index) return;
    QString directory = m_driveDirectory.value(drive.root, drive.root);
    if (Dir->setPath(directory) || Dir->setPath(drive.root)) return;
    // A drive that cannot be read (an empty removable drive, a volume gone):
    // say so and stay where the list was, so that it remains usable.
    m_services.ShowMessage("The drive " + drive.label.toStdString() + " cannot be read.",
                           "Dir Error", MessageIcon::Exclamation);
    showDriveOf(Dir->path());
}

void FrmDirectory::CmdOk_Click() {
    QString path = LblPath->text();
    if (path.isEmpty()) return;
    if (!path.endsWith(QDir::separator())) path += QDir::separator();
    m_selectedDirectory = path.toStdString();
    accept();
}

void FrmDirectory::CmdCancel_Click() {
    m_selectedDirectory.clear();
    QDialog::reject();
}

void FrmDirectory::reject() {
    CmdCancel_Click();
}

void FrmDirectory::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on its owner; on the screen while the owner is not shown yet
    // (the picker asks for the TA directory before the main window is up).
    const QWidget* owner = parentWidget();
    if (owner && owner->isVisible()) return;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void FrmDirectory::CmdMakeDir_Click() {
    std::string answer = m_services.InputBox("Enter the name of a new directory", "New Dir");
    if (answer.empty()) return;
    QString path = native(Dir->path());
    if (!path.endsWith(QDir::separator())) path += QDir::separator();
    path += QString::fromStdString(answer);
    if (IsPlainDirectory(path)) {
        m_services.ShowMessage("Directory already exists.", "Dir Error", MessageIcon::None);
        return;
    }
    // A directory that cannot be made is passed over silently; one that
    // exists with other attributes (read-only, hidden) is opened.
    QDir().mkdir(path);
    if (!Dir->setPath(path)) Dir->refresh();
}

}  // namespace kloxmere::ui

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

std::vector<window::PickerDrive> pickerDrives(const QList<DriveEntry>& drives) {
    std::vector<window::PickerDrive> entries;
    for (const DriveEntry& drive : drives)
        entries.push_back({drive.label.toStdString(), drive.root.toStdString()});
    return entries;
}

QString text(const std::string& value) {
    return QString::fromStdString(value);
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
      m_picker(services, *this, pickerDrives(drives)) {
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

    for (const DriveEntry& drive : drives) Drive->addItem(drive.label, drive.root);
    m_picker.Start((startDirectory.isEmpty() ? QDir::currentPath() : startDirectory).toStdString(),
                   QDir::rootPath().toStdString());

    connect(CmdOk, &QPushButton::clicked, this, &FrmDirectory::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmDirectory::CmdCancel_Click);
    connect(CmdMakeDir, &QPushButton::clicked, this, &FrmDirectory::CmdMakeDir_Click);
    connect(Drive, &QComboBox::activated, this, &FrmDirectory::Drive_Change);
    connect(Dir, &DirectoryList::Change, this, &FrmDirectory::Dir_Change);
}

void FrmDirectory::Dir_Change() {
    m_picker.DirectoryChanged();
}

void FrmDirectory::Drive_Change(int index) {
    m_picker.DriveChosen(index);
}

void FrmDirectory::CmdOk_Click() {
    m_picker.Ok();
}

void FrmDirectory::CmdCancel_Click() {
    m_picker.Cancel();
}

void FrmDirectory::CmdMakeDir_Click() {
    m_picker.MakeDirectory();
}

bool FrmDirectory::OpenDirectory(const std::string& directory) {
    return Dir->setPath(text(directory));
}

std::string FrmDirectory::OpenedDirectory() const {
    return Dir->path().toStdString();
}

void FrmDirectory::RefreshDirectory() {
    Dir->refresh();
}

void FrmDirectory::ShowPath(const std::string& nativePath) {
    LblPath->setText(text(nativePath));
}

void FrmDirectory::ShowDrive(std::size_t index) {
    Drive->setCurrentIndex(static_cast<int>(index));
}

bool FrmDirectory::IsPlainDirectory(const std::string& path) const {
    return ui::IsPlainDirectory(text(path));
}

bool FrmDirectory::MakeDirectory(const std::string& path) {
    return QDir().mkdir(text(path));
}

void FrmDirectory::Close(bool accepted) {
    if (accepted) {
        accept();
    } else {
        QDialog::reject();
    }
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

}  // namespace kloxmere::ui

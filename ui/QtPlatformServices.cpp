#include "ui/QtPlatformServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "app/ProgramLauncher.h"
#include "ui/FrmDirectory.h"
#include "ui/FrmInstallations.h"
#include "ui/FrmProgress.h"

namespace kloxmere::ui {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

QMessageBox::Icon messageIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QStringList NameFilters(const std::string& filter) {
    QStringList parts = fromUtf8(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString patterns = QString(parts[i + 1]).replace(';', ' ');
        filters << (description.contains('(') ? description : description + " (" + patterns + ")");
    }
    return filters;
}

QtPlatformServices::QtPlatformServices(QWidget* owner) : m_owner(owner) {}

QtPlatformServices::~QtPlatformServices() {
    while (m_busyDepth > 0) SetBusy(false);
}

void QtPlatformServices::ShowMessage(const std::string& text, const std::string& title,
                                     MessageIcon icon) {
    QMessageBox box(messageIcon(icon), fromUtf8(title), fromUtf8(text), QMessageBox::Ok, m_owner);
    box.exec();
}

std::size_t QtPlatformServices::AskChoice(const std::string& text, const std::string& title,
                                          const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, fromUtf8(title), fromUtf8(text), QMessageBox::NoButton,
                    m_owner);
    std::vector<QAbstractButton*> added;
    for (const std::string& button : buttons) {
        added.push_back(box.addButton(fromUtf8(button), QMessageBox::AcceptRole));
    }
    if (!added.empty()) {
        box.setDefaultButton(static_cast<QPushButton*>(added.front()));
        box.setEscapeButton(added.back());
    }
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (box.clickedButton() == added[i]) return i;
    }
    return buttons.empty() ? 0 : buttons.size() - 1;
}

void QtPlatformServices::SetBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0 && --m_busyDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void QtPlatformServices::ShowProgress(const std::string& caption) {
    if (!m_progress) m_progress = std::make_unique<FrmProgress>(m_owner);
    m_progress->setWindowTitle(fromUtf8(caption));
    m_progress->show();
    m_progress->centreOnScreen();
    m_progress->RefreshForm();
}

void QtPlatformServices::SetProgressStatus(const std::string& text) {
    if (!m_progress) return;
    m_progress->Status->setText(fromUtf8(text));
    m_progress->Status->repaint();
}

void QtPlatformServices::Update(std::int32_t value, std::int32_t max) {
    if (m_progress) {
        m_progress->Update(value, max);
    } else {
        RefreshForm();
    }
}

void QtPlatformServices::RefreshForm() {
    QCoreApplication::processEvents();
}

void QtPlatformServices::HideProgress() {
    m_progress.reset();
}

FrmProgress* QtPlatformServices::progressWindow() const {
    return m_progress.get();
}

std::string QtPlatformServices::PickDirectory() {
    FrmDirectory picker(*this, m_owner);
    picker.exec();
    return picker.SelectedDirectory();
}

std::string QtPlatformServices::ChooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(m_owner);
    dialog.setAcceptMode(request.mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                              : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mode == FileDialogMode::Save ? QFileDialog::AnyFile
                                                            : QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.setDefaultSuffix(fromUtf8(request.defaultExtension));
    if (!request.fileName.empty()) dialog.selectFile(fromUtf8(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toStdString();
}

std::string QtPlatformServices::InputBox(const std::string& prompt, const std::string& title) {
    bool accepted = false;
    QString text = QInputDialog::getText(m_owner, fromUtf8(title), fromUtf8(prompt),
                                         QLineEdit::Normal, QString(), &accepted);
    return accepted ? text.toStdString() : std::string();
}

bool QtPlatformServices::Launch(const LaunchRequest& request) {
    return LaunchAndExplain(request, *this);
}

InstallationAnswer QtPlatformServices::ChooseInstallation(
    const std::vector<InstallationChoice>& found) {
    FrmInstallations chooser(found, m_owner);
    chooser.exec();
    return chooser.Answer();
}

}  // namespace kloxmere::ui

#include "ui/FrmProgress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <cmath>
#include <limits>

#include "base/PlatformServices.h"
#include "ui/Twips.h"
#include "window/ProgressPercent.h"

namespace kloxmere::ui {

FrmProgress::FrmProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Status(new QLabel(this)),
      Progress(new QProgressBar(this)) {
    setWindowTitle(kApplicationTitle);
    setObjectName("FrmProgress");
    setFixedSize(ToPixels(4200), ToPixels(1020));
    Status->setObjectName("Status");
    Status->setGeometry(TwipsRect(120, 180, 3975, 255));
    Progress->setObjectName("Progress");
    Progress->setAccessibleName("Progress");
    Progress->setGeometry(TwipsRect(120, 540, 3975, 315));
    Progress->setRange(0, 100);
    Progress->setValue(0);
    Progress->setTextVisible(false);
}

void FrmProgress::Update(std::int32_t value, std::int32_t max) {
    if (auto percent = window::ProgressPercent(value, max)) Progress->setValue(*percent);
    RefreshForm();
}

void FrmProgress::RefreshForm() {
    QCoreApplication::processEvents();
}

void FrmProgress::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void FrmProgress::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void FrmProgress::reject() {}

}  // namespace kloxmere::ui

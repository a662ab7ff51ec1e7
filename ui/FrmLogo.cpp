#include "ui/FrmLogo.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "ui/Icons.h"
#include "ui/Twips.h"

namespace kloxmere::ui {

FrmLogo::FrmLogo(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      Picture1(new QLabel(this)),
      TmrUnload(new QTimer(this)) {
    setObjectName("FrmLogo");
    setWindowTitle("Kloxmere is starting");
    setModal(true);
    setFixedSize(ToPixels(4650), ToPixels(3360));
    Picture1->setObjectName("Picture1");
    Picture1->setAccessibleName("Kloxmere");
    Picture1->setGeometry(rect());
    Picture1->setScaledContents(true);
    Picture1->setPixmap(LogoPicture());
    TmrUnload->setObjectName("TmrUnload");
    TmrUnload->setSingleShot(true);
    TmrUnload->setInterval(kUnloadMilliseconds);
    connect(TmrUnload, &QTimer::timeout, this, &FrmLogo::TmrUnload_Timer);
    setBusy(true);
}

FrmLogo::~FrmLogo() {
    setBusy(false);
}

void FrmLogo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    TmrUnload->start();
}

void FrmLogo::TmrUnload_Timer() {
    accept();
}

void FrmLogo::done(int result) {
    TmrUnload->stop();
    setBusy(false);
    QDialog::done(result);
}

void FrmLogo::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace kloxmere::ui

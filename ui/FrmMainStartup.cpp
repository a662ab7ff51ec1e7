// The main window's parts of the start-up and shut-down sequences, which the
// presenter runs: the splash window, the scan on a worker thread, the unit
// picture's surface, showing and closing; and the windows over the main
// window (the group editor, About).

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>

#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "ui/BackgroundScan.h"
#include "ui/FrmAbout.h"
#include "ui/FrmGroups.h"
#include "ui/FrmLogo.h"
#include "ui/FrmMain.h"
#include "ui/QtFastWin.h"
#include "ui/UnitPanel.h"

namespace kloxmere::ui {

FrmMain::StartResult FrmMain::Form_Load() {
    return m_presenter->Start();
}

void FrmMain::ShowMainWindow() {
    show();
}

void FrmMain::CloseMainWindow() {
    close();
}

void FrmMain::ShowSplash() {
    FrmLogo logo;
    logo.exec();
}

// The scan runs while the splash window shows; what it asks or reports
// waits until the splash has closed.
bool FrmMain::ScanInBackground(const ScanOptions& options, bool splash) {
    if (!m_options.forwarding) return false;
    BackgroundScan scan(m_session, *m_options.forwarding, options);
    scan.start();
    if (splash) ShowSplash();
    scan.release();
    scan.finish();
    return true;
}

bool FrmMain::InitializeGraphics(const GamePalette& palette) {
    m_unitView.reset();
    UnitPic = std::make_unique<clsFastWin>(palette);
    if (!UnitPic->Initialize(96, 96, PicView->PicUnit)) return false;
    m_unitView = std::make_unique<UnitPanelView>(*PicView, *UnitPic, *StatusPanel2,
                                                 *toolbarButton("unit"), *mnuUnitsEnable);
    return true;
}

UnitView* FrmMain::UnitDisplay() {
    return m_unitView.get();
}

void FrmMain::EditGroups() {
    FrmGroups groups(m_session.catalogue.GroupList, m_session.services, this);
    groups.exec();
}

void FrmMain::ShowAbout(const std::string& userDataDirectory) {
    FrmAbout about(this, AboutLinks::ForThisProgram(userDataDirectory));
    about.exec();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    m_presenter->Unload();
    event->accept();
}

}  // namespace kloxmere::ui

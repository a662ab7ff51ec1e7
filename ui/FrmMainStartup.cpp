// The main window's start-up and shut-down sequences.

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QToolBar>

#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "ui/BackgroundScan.h"
#include "ui/FrmAbout.h"
#include "ui/FrmLogo.h"
#include "ui/FrmMain.h"
#include "ui/Icons.h"
#include "ui/UnitPanel.h"
#include "units/clsUnit.h"

namespace kloxmere::ui {

namespace {

// A start-up step that fails is abandoned silently and the next one runs.
template <class Step>
void resumeOnFailure(Step&& step) {
    try {
        step();
    } catch (const TADirectoryNotFound&) {
        throw;
    } catch (const std::exception&) {
        // the step is skipped; start-up goes on
    }
}

}  // namespace

FrmMain::StartResult FrmMain::Form_Load() {
    return Initialize();
}

FrmMain::StartResult FrmMain::Initialize() {
    try {
        // The scan runs while the splash window shows; what it asks or
        // reports waits until the splash has closed.
        if (m_options.forwarding) {
            BackgroundScan scan(m_session, *m_options.forwarding, m_options.scanThreads);
            scan.start();
            if (m_options.splash) showSplash();
            scan.release();
            scan.finish();
        } else {
            if (m_options.splash) showSplash();
            ScanInstallation(m_session, ScanOptions{m_options.scanThreads, nullptr});
        }
    } catch (const TADirectoryNotFound&) {
        return StartResult::Ended;  // no TA directory: nothing was loaded, nothing is saved
    }
    markTime(&StartupTimings::scanEnded);
    if (!InitializeGraphics()) {
        m_session.services.ShowMessage(
            "The memory for the graphics window could not be initialized.", kApplicationTitle,
            MessageIcon::Information);
        return StartResult::Ended;
    }
    resumeOnFailure([this] { InitializeInterface(); });
    resumeOnFailure([this] { FillUnitTree(); });
    resumeOnFailure([this] { FillUnitList(); });
    show();
    markTime(&StartupTimings::shown);
    resumeOnFailure([this] { DisplayCurrentUnit(); });
    markTime(&StartupTimings::unitDisplayed);
    return StartResult::Shown;
}

void FrmMain::markTime(std::chrono::steady_clock::time_point StartupTimings::*milestone) {
    if (m_options.timings) m_options.timings->*milestone = std::chrono::steady_clock::now();
}

void FrmMain::showSplash() {
    FrmLogo logo;
    logo.exec();
}

bool FrmMain::InitializeGraphics() {
    return true;
}

void FrmMain::DisplayCurrentUnit() {
    const clsUnit* unit = m_session.catalogue.CurrentUnit;
    if (!unit) return;
    StatusPanel2->setText(QString::fromStdString(unit->Name));
    PicView->LblUnitname->setText(QString::fromStdString(unit->Callname));
    const bool enabled = unit->Enabled();
    QAction* button = toolbarButton("unit");
    button->setIcon(ToolbarImage(enabled ? 8 : 9));
    button->setToolTip(enabled ? "Disable unit" : "Enable unit");
    button->setText(enabled ? "Disable unit" : "Enable unit");
    mnuUnitsEnable->setText(enabled ? "Disable &Unit" : "Enable &Unit");
}

void FrmMain::mnuUnitsGroups_Click() {}

void FrmMain::mnuViewUnitViewer_Click() {}

void FrmMain::mnuHelpAbout_Click() {
    FrmAbout about(this);
    about.exec();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FrmMain::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
}

}  // namespace kloxmere::ui

// The main window's start-up and shut-down sequences.

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QToolBar>

#include "app/GamePaletteSource.h"
#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "app/UnitViewerExport.h"
#include "ui/BackgroundScan.h"
#include "ui/FrmAbout.h"
#include "ui/FrmGroups.h"
#include "ui/FrmLogo.h"
#include "ui/FrmMain.h"
#include "ui/Icons.h"
#include "ui/QtFastWin.h"
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
    resumeOnFailure([this] { registerFileType(); });
    if (m_options.settings) m_session.StoredTADirectory = StoredTADirectory(*m_options.settings);
    resumeOnFailure([this] { offerSwitchRecovery(); });
    if (InitializeCommands()) return StartResult::Ended;  // a schema from the command line
    try {
        // The scan runs while the splash window shows; what it asks or
        // reports waits until the splash has closed.
        if (m_options.forwarding) {
            BackgroundScan scan(m_session, *m_options.forwarding,
                                ScanOptions{m_options.scanThreads, nullptr, m_options.scanCache});
            scan.start();
            if (m_options.splash) showSplash();
            scan.release();
            scan.finish();
        } else {
            if (m_options.splash) showSplash();
            ScanInstallation(m_session,
                             ScanOptions{m_options.scanThreads, nullptr, m_options.scanCache});
        }
    } catch (const TADirectoryNotFound&) {
        return StartResult::Ended;  // no TA directory: nothing was loaded, nothing is saved
    }
    markTime(&StartupTimings::scanEnded);
    // While TADirectory is still the scanned one: the settings replace it.
    LoadPalette();
    resumeOnFailure([this] { SettingsLoad(); });
    if (!InitializeGraphics()) {
        m_session.services.ShowMessage(
            "The memory for the graphics window could not be initialized.", kApplicationTitle,
            MessageIcon::Information);
        return StartResult::Ended;
    }
    resumeOnFailure([this] { InitializeInterface(); });
    resumeOnFailure([this] { FillUnitTree(); });
    resumeOnFailure([this] { FillUnitList(); });
    updateUndoItem();
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

void FrmMain::LoadPalette() {
    try {
        m_palette = LoadSessionPalette(m_session);
    } catch (const std::exception&) {
        // An unreadable TA directory: the pictures show in grey rather than not at all.
        m_palette = GreyRampPalette();
    }
}

bool FrmMain::InitializeGraphics() {
    if (!m_palette) LoadPalette();
    UnitPic = std::make_unique<clsFastWin>(*m_palette);
    return UnitPic->Initialize(96, 96, PicView->PicUnit);
}

void FrmMain::DisplayCurrentUnit() {
    const clsUnit* unit = m_session.catalogue.CurrentUnit;
    if (!unit || !UnitPic) return;
    UnitPanelView view(*PicView, *UnitPic, *StatusPanel2, *toolbarButton("unit"), *mnuUnitsEnable);
    unit->Display(view, m_session.services);
}

void FrmMain::mnuUnitsGroups_Click() {
    FrmGroups groups(m_session.catalogue.GroupList, m_session.services, this);
    connect(&groups, &FrmGroups::unloaded, this, [this] {
        FillUnitTree();
        // The rebuilt tree selects its first node; the list follows it, so
        // that a group command acts on the units the list shows.
        TreeUnits_Click();
    });
    groups.exec();
}

void FrmMain::mnuViewUnitViewer_Click() {
    if (const clsUnit* unit = m_session.catalogue.CurrentUnit) ExportToViewer(m_session, *unit);
}

void FrmMain::mnuHelpAbout_Click() {
    FrmAbout about(this, AboutLinks::ForThisProgram(m_session.userDataDirectory));
    about.exec();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FrmMain::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    // A start that ended before the settings were read (no TA directory
    // given, a schema from the command line) holds no groups and no
    // locations: the stored ones are left as they are.
    if (m_settingsLoaded) SettingsSave();
}

}  // namespace kloxmere::ui

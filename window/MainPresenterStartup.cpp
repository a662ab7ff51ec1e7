// The main window's start-up and shut-down sequences: the file association
// and the command line before the splash window, the scan, the settings load
// after it, and the settings save at shut-down.

#include "app/CommandLine.h"
#include "app/GamePaletteSource.h"
#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "app/SwitchRecovery.h"
#include "app/modRegistry.h"
#include "catalogue/Schemas.h"
#include "window/MainPresenter.h"

namespace kloxmere::window {

namespace {

constexpr const char* kSchemaDescription = "TA Unit List";

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

MainPresenter::StartResult MainPresenter::Start() {
    return Initialize();
}

MainPresenter::StartResult MainPresenter::Initialize() {
    resumeOnFailure([this] { registerFileType(); });
    if (m_options.settings) m_session.StoredTADirectory = StoredTADirectory(*m_options.settings);
    resumeOnFailure([this] { OfferSwitchRecovery(m_session); });
    if (InitializeCommands()) return StartResult::Ended;  // a schema from the command line
    try {
        // The scan runs while the splash window shows; what it asks or
        // reports waits until the splash has closed.
        const ScanOptions scan{m_options.scanThreads, nullptr, m_options.scanCache};
        if (!m_view.ScanInBackground(scan, m_options.splash)) {
            if (m_options.splash) m_view.ShowSplash();
            ScanInstallation(m_session, scan);
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
    UpdateUndoItem();
    m_view.ShowMainWindow();
    markTime(&StartupTimings::shown);
    resumeOnFailure([this] { DisplayCurrentUnit(); });
    markTime(&StartupTimings::unitDisplayed);
    return StartResult::Shown;
}

void MainPresenter::markTime(std::chrono::steady_clock::time_point StartupTimings::*milestone) {
    if (m_options.timings) m_options.timings->*milestone = std::chrono::steady_clock::now();
}

void MainPresenter::LoadPalette() {
    try {
        m_palette = LoadSessionPalette(m_session);
    } catch (const std::exception&) {
        // An unreadable TA directory: the pictures show in grey rather than not at all.
        m_palette = GreyRampPalette();
    }
}

bool MainPresenter::InitializeGraphics() {
    if (!m_palette) LoadPalette();
    return m_view.InitializeGraphics(*m_palette);
}

void MainPresenter::registerFileType() {
    if (m_options.programPath.empty()) return;
    // Whether the association could be written does not matter to the start.
    RegisterFileType("uls", m_options.programPath, "", kApplicationTitle, kSchemaDescription);
}

bool MainPresenter::InitializeCommands() {
    const std::optional<std::string> schema = SchemaFileArgument(m_options.commandLine);
    if (!schema) return false;
    try {
        const std::string directory = LocateTADirectory(m_session);
        ApplySchemaFile(*schema, directory, m_session.services);
    } catch (const TADirectoryNotFound&) {
        // no TA directory was given: nothing is applied, and the program ends all the same
    }
    return true;
}

WindowPlacement MainPresenter::currentPlacement() const {
    WindowPlacement placement = m_view.FramePlacement();
    placement.SliderLeft = m_layout.PicSplitter.left;
    return placement;
}

void MainPresenter::applyPlacement(const WindowPlacement& placement) {
    const WindowPlacement current = currentPlacement();
    if (placement.SliderLeft != current.SliderLeft) {
        m_layout.PicSplitter.left = placement.SliderLeft;  // restoring applies no limits
        layOut();
    }
    m_view.PlaceFrame(placement, current);
}

void MainPresenter::SettingsLoad() {
    if (!m_options.settings) return;
    m_settingsLoaded = true;
    WindowPlacement placement = currentPlacement();
    kloxmere::SettingsLoad(*m_options.settings, m_session, placement);
    applyPlacement(placement);
}

void MainPresenter::SettingsSave() {
    if (!m_options.settings) return;
    kloxmere::SettingsSave(*m_options.settings, m_session, currentPlacement());
}

void MainPresenter::Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    // A start that ended before the settings were read (no TA directory
    // given, a schema from the command line) holds no groups and no
    // locations: the stored ones are left as they are.
    if (m_settingsLoaded) SettingsSave();
}

}  // namespace kloxmere::window

// kloxmere: the desktop program. Brings the main window up through its
// start-up sequence and runs the window system's event loop.

#include <QApplication>
#include <QDir>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Locations.h"
#include "app/ProgramInformation.h"
#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "base/ProgramHeap.h"
#include "ui/BackgroundScan.h"
#include "ui/FrmMain.h"
#include "ui/Icons.h"
#include "ui/QtPlatformServices.h"
#include "ui/QtSettingsStore.h"

int main(int argc, char** argv) {
    kloxmere::PrepareProgramHeap();
    using namespace kloxmere;
    // --version and --help are answered before the window system is asked
    // for a display, so that they work on a console without one.
    switch (ReadInformationRequest(std::vector<std::string>(argv + 1, argv + argc))) {
        case InformationRequest::Version:
            std::cout << VersionLine() << '\n';
            return 0;
        case InformationRequest::Help:
            std::cout << DesktopUsage();
            return 0;
        case InformationRequest::None:
            break;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setOrganizationName(kApplicationTitle);
    QApplication::setWindowIcon(ui::ProgramIcon());

    ui::QtPlatformServices windowServices;
    ui::ForwardingServices services(windowServices);
    Session session(services, UserDataDirectory(), ProgramDirectory());
    ui::StartupOptions options;
    options.forwarding = &services;
    options.scanCache = ScanCacheWanted();  // KLOXMERE_NO_SCAN_CACHE turns it off
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }
    options.commandLine = JoinArguments(arguments);
    ui::QtSettingsStore settings;
    options.settings = &settings;
    options.programPath =
        QDir::toNativeSeparators(QApplication::applicationFilePath()).toStdString();
    ui::FrmMain window(session, options);
    windowServices.setOwner(&window);
    if (window.Form_Load() == ui::FrmMain::StartResult::Ended) return 0;
    return QApplication::exec();
}

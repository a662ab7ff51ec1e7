// kloxmere: the desktop program. Brings the main window up through its
// start-up sequence and runs the window system's event loop.

#include <QApplication>
#include <QDir>

#include "app/CommandLine.h"
#include "app/Locations.h"
#include "app/Session.h"
#include "ui/BackgroundScan.h"
#include "ui/FrmMain.h"
#include "ui/QtPlatformServices.h"
#include "ui/QtSettingsStore.h"

int main(int argc, char** argv) {
    using namespace kloxmere;
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setOrganizationName(kApplicationTitle);

    ui::QtPlatformServices windowServices;
    ui::ForwardingServices services(windowServices);
    Session session(services, UserDataDirectory(), ProgramDirectory());
    ui::StartupOptions options;
    options.forwarding = &services;
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

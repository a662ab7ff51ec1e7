// kloxmere: the desktop program. Brings the main window up through its
// start-up sequence and runs the window system's event loop.

#include <QApplication>

#include "app/Locations.h"
#include "app/Session.h"
#include "ui/BackgroundScan.h"
#include "ui/FrmMain.h"
#include "ui/QtPlatformServices.h"

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
    ui::FrmMain window(session, options);
    windowServices.setOwner(&window);
    if (window.Form_Load() == ui::FrmMain::StartResult::Ended) return 0;
    return QApplication::exec();
}

// kloxmere.exe: the Windows program. Registers the schema file type, applies
// a schema named on the command line without a window, or brings the main
// window up through the shared start-up sequence and runs it.

#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Locations.h"
#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "base/Environment.h"
#include "win32/BackgroundScan.h"
#include "win32/FrmMain.h"
#include "win32/RegistrySettingsStore.h"
#include "win32/Win32PlatformServices.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace kloxmere;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                     ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_LINK_CLASS;
    InitCommonControlsEx(&controls);

    std::vector<std::string> arguments;
    int count = 0;
    if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(argv[i]));
        LocalFree(argv);
    }
    wchar_t program[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, program, static_cast<DWORD>(std::size(program)));

    win32::Win32PlatformServices windowServices;
    win32::ForwardingServices services(windowServices);
    Session session(services, UserDataDirectory(), ProgramDirectory());
    win32::RegistrySettingsStore settings;
    window::StartupOptions options;
    options.commandLine = JoinArguments(arguments);
    options.settings = &settings;
    options.scanCache = ScanCacheWanted();  // KLOXMERE_NO_SCAN_CACHE turns it off
    options.programPath = Utf8FromWide(program);
    try {
        win32::FrmMain window(session, services, options);
        window.Create();
        window.SetForwarding(&services);
        windowServices.SetOwner(window.hwnd());
        if (window.presenter().Start() == window::MainPresenter::StartResult::Ended) return 0;
        return window.Run();
    } catch (const std::exception& error) {
        windowServices.SetOwner(nullptr);
        windowServices.ShowMessage(error.what(), kApplicationTitle, MessageIcon::Critical);
        return 1;
    }
}

#pragma once

// One run of the program: its catalogue, what the user looks at, where its
// files are, and the door to the user. The window (or the command-line front
// end) holds one for the run; tests make a fresh one each.

#include <stdexcept>
#include <string>
#include <vector>

#include "app/InstallationDiscovery.h"

#include "base/PlatformServices.h"
#include "catalogue/ArchiveSwitch.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ViewState.h"

namespace kloxmere {

// The TA directory could not be found and the user did not pick one: the
// program cannot go on.
class TADirectoryNotFound : public std::runtime_error {
  public:
    TADirectoryNotFound();
};

inline constexpr const char* kTADirectoryMissingMessage =
    "Your TA directory could not be found.  Please select it now.";

class Session {
  public:
    // `userDataDirectory` and `programDirectory` end in a separator.
    Session(PlatformServices& services, std::string userDataDirectory,
            std::string programDirectory);

    PlatformServices& services;
    Catalogue catalogue;
    ViewState view;
    std::string TADirectory;  // ends in a separator once found; may be set by the user
    // The user picked TADirectory in this run (at start-up or with the
    // menu): the stored settings do not replace it, and it is what they keep.
    bool TADirectoryPicked = false;
    // The TA directory an earlier run stored; tried when neither the override
    // nor the game's registry entry names one, before the user is asked.
    std::string StoredTADirectory;
    std::string UnitViewPath;  // the unit viewer program's full path; "" until chosen
    std::string userDataDirectory;
    std::string programDirectory;

  private:
    // The run's archive switches are journalled and locked in its user data directory.
    SwitchHomeScope m_switchHome{userDataDirectory};
};

// What is known of the TA directory without asking the user: the archive
// library's answer (GetTADirectory: KLOXMERE_TA_DIR, the registry), ending in
// a separator; when it has none, the installations the launchers' places
// hold (none on Windows).
struct TADirectoryLookup {
    std::string directory;
    std::vector<FoundInstallation> found;
};
TADirectoryLookup LookUpTADirectory();

// The TA directory, ending in a separator: TADirectory when set (returned as
// stored); else KLOXMERE_TA_DIR when set; else StoredTADirectory when that directory
// exists; else the game's registry entry (GetTADirectory), which is kept; else
// the one installation found, which is kept; else, with several found, the
// user chooses one of them (ChooseInstallation), or "Other..." leads to the
// directory picker; with none, the user is told and asked with the directory
// picker. What the user chooses is marked as picked. Throws
// TADirectoryNotFound when the user cancels.
std::string LocateTADirectory(Session& session);

}  // namespace kloxmere

#pragma once

// One run of the program: its catalogue, what the user looks at, where its
// files are, and the door to the user. The window (or the command-line front
// end) holds one for the run; tests make a fresh one each.

#include <stdexcept>
#include <string>

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
    std::string TADirectory;   // ends in a separator once found; may be set by the user
    std::string UnitViewPath;  // the unit viewer program's full path; "" until chosen
    std::string userDataDirectory;
    std::string programDirectory;

  private:
    // The run's archive switches are journalled and locked in its user data directory.
    SwitchHomeScope m_switchHome{userDataDirectory};
};

// The TA directory, ending in a separator: TADirectory when set (returned as
// stored); else the archive library's answer (GetTADirectory), which is kept;
// else the user is told and asked with the directory picker. Throws
// TADirectoryNotFound when the user cancels.
std::string LocateTADirectory(Session& session);

}  // namespace kloxmere

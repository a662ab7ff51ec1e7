#include "app/ProgramInformation.h"

#include "base/Version.h"

namespace kloxmere {

std::string VersionLine() {
    return std::string("Kloxmere ") + kVersion;
}

std::string DesktopUsage() {
    return "Usage: kloxmere [SCHEMA.uls]\n"
           "\n"
           "Opens the Kloxmere window on the TA directory: a tree of sides, classes and\n"
           "unit groups beside the units, conflicts and weapons of every archive.\n"
           "\n"
           "Given a unit-list schema (a file ending in .uls), it brings the TA directory's\n"
           "archives to the schema's state and ends without opening the window.\n"
           "\n"
           "  --version   print the version and exit\n"
           "  --help, -h  print this text and exit\n"
           "\n"
           "Environment: KLOXMERE_TA_DIR (the TA directory), KLOXMERE_HOME (where\n"
           "unitgroups.dat and the fast-load lists live), KLOXMERE_NO_SCAN_CACHE=1 (read\n"
           "every archive at start-up). See also kloxmere-cli(1).\n";
}

InformationRequest ReadInformationRequest(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) return InformationRequest::None;
    const std::string& argument = arguments.front();
    if (argument == "--version") return InformationRequest::Version;
    if (argument == "--help" || argument == "-h") return InformationRequest::Help;
    return InformationRequest::None;
}

}  // namespace kloxmere

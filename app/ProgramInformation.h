#pragma once

// What both programs print about themselves: the version line and, for the
// desktop program, the usage. They are printed before any window exists, so
// that `kloxmere --version` works without a display.

#include <string>
#include <vector>

namespace kloxmere {

// "Kloxmere 1.0.0".
std::string VersionLine();

// The desktop program's usage text, ending in a newline.
std::string DesktopUsage();

enum class InformationRequest { None, Version, Help };

// --version, or --help / -h, as the only argument asks for information and
// ends the program; anything else (a schema file among them) is not an
// information request.
InformationRequest ReadInformationRequest(const std::vector<std::string>& arguments);

}  // namespace kloxmere

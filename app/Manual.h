#pragma once

// The manual is the README that ships with the program: installed with the
// program's documentation, or beside the executable of a portable copy (and
// of the build tree).

#include <string>

namespace kloxmere {

inline constexpr const char* kManualFileName = "README.md";

// The manual for a program whose executable lives in `executableDirectory`:
// the installed documentation's README (share/doc/kloxmere beside the bin
// directory) when present, else the README beside the executable, else "".
std::string FindManual(const std::string& executableDirectory);

}  // namespace kloxmere

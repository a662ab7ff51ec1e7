#pragma once

#include <string>

namespace kloxmere {

// Writes a small TA installation of invented content into `directory` (made
// when missing; refused with std::runtime_error when it already holds files,
// so that no user file is ever replaced): enabled and disabled archives of all
// three kinds, the sides ARM, CORE and NOVA, a weapon-number conflict against
// an enabled archive and one against a disabled archive, a build-menu
// conflict, and for every unit a 96 x 96 picture, a model and a script.
void WriteDemoInstallation(const std::string& directory);

}  // namespace kloxmere

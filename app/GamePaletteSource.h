#pragma once

// Where the start-up palette comes from: the program's "palette.dat", else
// the game's own palette inside the TA directory's archives, else a grey ramp.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graphics/Palette.h"

namespace kloxmere {

class Session;

// The bytes of "palettes\PALETTE.PAL" from the first archive of `taDirectory`
// that holds it, taking the archives in the scan's order (*.hpi, *.xhpi,
// *.ccx, *.xccx, *.ufo, *.xufo); nullopt when none does. Archives that cannot
// be read are passed over.
std::optional<std::vector<std::uint8_t>> FindGamePaletteFile(const std::string& taDirectory);

// The palette for the session: "palette.dat" in the program directory, else
// the game's palette from the TA directory (when one is known), else the grey
// ramp. Asks nobody for the TA directory.
GamePalette LoadSessionPalette(const Session& session);

}  // namespace kloxmere

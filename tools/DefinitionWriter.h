#pragma once

// The text of generated definition files: unit definitions (units\*.fbi),
// weapon files (weapons\*.tdf) and build-menu files (download\*.tdf), written
// the way hand-edited files of add-on authors look: comments, blank lines,
// tabs, keys in any letter case, CR LF or LF line ends (sometimes both in one
// file), and many keys the catalogue does not read.

#include <cstddef>
#include <string>
#include <vector>

#include "tools/DeterministicRandom.h"

namespace kloxmere::tools {

struct UnitDefinition {
    std::string name;  // "unitname"
    std::string callname, side, tedClass, description;
    int number = 0, maxDamage = 0, buildTime = 0, costEnergy = 0, costMetal = 0;
    std::vector<std::string> weapons;  // Weapon1, Weapon2, ... (at most five)
    bool builder = false;
};

struct WeaponDefinition {
    std::string name;
    int id = 0;
};

struct MenuEntryDefinition {
    std::string builder, menu, button, unit;
};

enum class KeyCase { AsWritten, Upper, Lower, Mixed };

// How one file is written.
struct TextStyle {
    bool crlf = true;
    bool mixedLineEnds = false;  // some lines end in LF whatever `crlf` says
    KeyCase keyCase = KeyCase::AsWritten;
    bool tabs = true;       // indent with tabs, else with blanks
    bool comments = false;  // comment lines and blank lines here and there
};

TextStyle RandomTextStyle(DeterministicRandom& random);

// A unit definition of about `targetSize` bytes (never below the required
// keys): the keys the catalogue reads, then invented and common keys.
std::string UnitDefinitionText(const UnitDefinition& unit, std::size_t targetSize,
                               const TextStyle& style, DeterministicRandom& random);

// One section per weapon, each with its ID before any nested section.
std::string WeaponFileText(const std::vector<WeaponDefinition>& weapons, const TextStyle& style,
                           DeterministicRandom& random);

// One [MENUENTRYn] block per entry.
std::string DownloadFileText(const std::vector<MenuEntryDefinition>& entries,
                             const TextStyle& style, DeterministicRandom& random);

}  // namespace kloxmere::tools

#pragma once

// Invented names for generated installations: sides, unit and weapon names,
// unit classes, and archive file names. A NameBook hands out names that are
// unique without regard to case.

#include <string>
#include <string_view>
#include <unordered_set>

#include "tools/DeterministicRandom.h"

namespace kloxmere::tools {

struct SideName {
    std::string_view side;    // as definitions spell it
    std::string_view prefix;  // of its unit and weapon names
};

// The two sides of the game's own archives, then the sides add-ons invent.
inline constexpr SideName kSides[] = {
    {"VANTA", "VN"}, {"KRAG", "KR"}, {"NOVA", "NV"}, {"SYLVAN", "SY"}, {"ECHO", "EC"}};
inline constexpr std::size_t kGameSides = 2;

struct UnitClass {
    std::string_view tedClass;
    std::string_view description;
    bool builder;  // has a build menu
    bool armed;
};

const UnitClass& RandomUnitClass(DeterministicRandom& random, bool builder);

// "Swift Lancer", "Iron Warden", ...
std::string RandomCallname(DeterministicRandom& random);

class NameBook {
  public:
    // Claims `name` when no name equal to it without regard to case was claimed.
    bool claim(const std::string& name);
    bool contains(const std::string& name) const;

    // A new unit name of the side's prefix and two or three syllables.
    std::string newUnitName(std::string_view prefix, DeterministicRandom& random);
    // A new weapon name such as VN_PULSE_RAZ.
    std::string newWeaponName(std::string_view prefix, DeterministicRandom& random);
    // A new archive stem such as "stormtanks_v2"; `upper` spells it in capitals.
    std::string newArchiveStem(DeterministicRandom& random);
    std::string newMapName(DeterministicRandom& random);

  private:
    // `candidate` when free, else `candidate` with the lowest free number appended.
    std::string claimNumbered(const std::string& candidate);

    std::unordered_set<std::string> m_used;  // folded
};

}  // namespace kloxmere::tools

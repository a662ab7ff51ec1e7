#include "tools/NamePools.h"

#include <iterator>

#include "base/TextCase.h"

namespace kloxmere::tools {

namespace {

constexpr std::string_view kSyllables[] = {"RAZ", "TOR", "KIL", "MAR", "VEX", "DRO", "PIK", "ZAN",
                                           "LUM", "GOR", "FEN", "QUA", "BIX", "TAL", "SOR", "MUN",
                                           "HEX", "JAR", "WIL", "OSK", "PRA", "DUN", "CEL", "YUR"};

constexpr std::string_view kWeaponKinds[] = {"LASER", "PULSE",  "CANNON", "ROCKET", "BEAM",
                                             "FLAK",  "MORTAR", "ARC",    "TORP",   "NEEDLE",
                                             "GAUSS", "PLASMA", "BOMB",   "MISSILE"};

constexpr UnitClass kClasses[] = {{"TANK", "Assault Tank", false, true},
                                  {"TANK", "Light Raider", false, true},
                                  {"KBOT", "Infantry Kbot", false, true},
                                  {"KBOT", "Rocket Kbot", false, true},
                                  {"SHIP", "Gunboat", false, true},
                                  {"VTOL", "Bomber", false, true},
                                  {"VTOL", "Fighter", false, true},
                                  {"HOVER", "Hover Tank", false, true},
                                  {"FORT", "Defence Tower", false, true},
                                  {"ENERGY", "Power Plant", false, false},
                                  {"METAL", "Metal Extractor", false, false},
                                  {"SPECIAL", "Radar Station", false, false},
                                  {"CNSTR", "Construction Vehicle", true, false},
                                  {"CNSTR", "Construction Kbot", true, false},
                                  {"PLANT", "Vehicle Plant", true, false},
                                  {"PLANT", "Kbot Lab", true, false}};
constexpr std::size_t kFirstBuilderClass = 12;

constexpr std::string_view kAdjectives[] = {"Swift",  "Iron",  "Silent", "Heavy", "Grim",
                                            "Bright", "Storm", "Night",  "Stone", "Red",
                                            "Long",   "Deep",  "Rapid",  "Frost", "Amber"};
constexpr std::string_view kNouns[] = {"Lancer",  "Warden", "Hammer", "Viper",   "Sentinel",
                                       "Ranger",  "Maul",   "Spire",  "Strider", "Harrier",
                                       "Bastion", "Drake",  "Mantis", "Pike",    "Colossus"};

constexpr std::string_view kThemes[] = {
    "nova",  "krag",   "storm", "iron", "delta",  "omega",  "viper", "aurora", "titan", "frost",
    "ember", "shadow", "quant", "rust", "cobalt", "zephyr", "onyx",  "lumen",  "pyre",  "drift"};
constexpr std::string_view kPacks[] = {"tanks", "kbots", "pack",   "fleet", "arsenal", "defence",
                                       "air",   "units", "mod",    "wars",  "legion",  "works",
                                       "forge", "squad", "armada", "extras"};
constexpr std::string_view kVersions[] = {"",    "",    "",      "",       "2",    "3",  "_v1",
                                          "_v2", "_v3", "_beta", "_final", "_fix", "_2k"};

}  // namespace

const UnitClass& RandomUnitClass(DeterministicRandom& random, bool builder) {
    if (builder)
        return kClasses[kFirstBuilderClass +
                        random.below(std::size(kClasses) - kFirstBuilderClass)];
    return kClasses[random.below(kFirstBuilderClass)];
}

std::string RandomCallname(DeterministicRandom& random) {
    return std::string(random.pick(kAdjectives)) + " " + std::string(random.pick(kNouns));
}

bool NameBook::claim(const std::string& name) {
    return m_used.insert(FoldCase(name)).second;
}

bool NameBook::contains(const std::string& name) const {
    return m_used.count(FoldCase(name)) != 0;
}

std::string NameBook::claimNumbered(const std::string& candidate) {
    if (claim(candidate)) return candidate;
    for (int n = 2;; ++n) {
        std::string numbered = candidate + std::to_string(n);
        if (claim(numbered)) return numbered;
    }
}

std::string NameBook::newUnitName(std::string_view prefix, DeterministicRandom& random) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string name(prefix);
        int syllables = random.chance(0.4) ? 2 : 3;
        for (int i = 0; i < syllables; ++i) name += random.pick(kSyllables);
        if (claim(name)) return name;
    }
    return claimNumbered(std::string(prefix) + std::string(random.pick(kSyllables)));
}

std::string NameBook::newWeaponName(std::string_view prefix, DeterministicRandom& random) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string name = std::string(prefix) + "_" + std::string(random.pick(kWeaponKinds)) +
                           "_" + std::string(random.pick(kSyllables));
        if (random.chance(0.5)) name += random.pick(kSyllables);
        if (claim(name)) return name;
    }
    return claimNumbered(std::string(prefix) + "_" + std::string(random.pick(kWeaponKinds)));
}

std::string NameBook::newArchiveStem(DeterministicRandom& random) {
    std::string stem = std::string(random.pick(kThemes)) + std::string(random.pick(kPacks)) +
                       std::string(random.pick(kVersions));
    return claimNumbered(stem);
}

std::string NameBook::newMapName(DeterministicRandom& random) {
    return claimNumbered(std::string(random.pick(kAdjectives)) + " " +
                         std::string(random.pick(kNouns)) + " Pass");
}

}  // namespace kloxmere::tools

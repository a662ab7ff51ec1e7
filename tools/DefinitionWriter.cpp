#include "tools/DefinitionWriter.h"

#include <array>
#include <cctype>
#include <string_view>

namespace kloxmere::tools {

namespace {

// Lines of one file, with the file's style applied.
class TextBuilder {
  public:
    TextBuilder(const TextStyle& style, DeterministicRandom& random)
        : m_style(style), m_random(random) {}

    void line(std::string_view text, int indent = 0) {
        for (int i = 0; i < indent; ++i) m_text += m_style.tabs ? "\t" : "    ";
        m_text += text;
        end();
    }

    void keyValue(std::string_view key, std::string_view value, int indent) {
        std::string shown = applyCase(key);
        shown += '=';
        shown += value;
        shown += ';';
        // Trailing blanks and tabs now and then: the reader trims them.
        if (m_style.comments && m_random.chance(0.03)) shown += m_random.chance(0.5) ? "  " : "\t";
        line(shown, indent);
    }

    // A blank line or a comment, at the style's rate.
    void maybeNoise(int indent) {
        if (!m_style.comments || !m_random.chance(0.08)) return;
        static constexpr std::string_view kComments[] = {"// tuned after the balance vote",
                                                         "// keep in step with the script",
                                                         "// was 1.2, too strong in groups",
                                                         "// do not change: the AI relies on it",
                                                         "// v2: new model",
                                                         "//////////////////////////////",
                                                         "// see readme",
                                                         "// (c) the pack's authors, free to use"};
        if (m_random.chance(0.5)) {
            end();
        } else {
            line(m_random.pick(kComments), indent);
        }
    }

    std::size_t size() const { return m_text.size(); }
    std::string take() { return std::move(m_text); }

  private:
    void end() {
        bool crlf = m_style.crlf;
        if (m_style.mixedLineEnds && m_random.chance(0.3)) crlf = !crlf;
        m_text += crlf ? "\r\n" : "\n";
    }

    std::string applyCase(std::string_view key) {
        KeyCase keyCase = m_style.keyCase;
        if (keyCase == KeyCase::Mixed) keyCase = static_cast<KeyCase>(m_random.below(3));
        std::string out(key);
        for (char& c : out) {
            if (keyCase == KeyCase::Upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            else if (keyCase == KeyCase::Lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return out;
    }

    const TextStyle& m_style;
    DeterministicRandom& m_random;
    std::string m_text;
};

std::string number(DeterministicRandom& random, int low, int high) {
    return std::to_string(random.between(low, high));
}

std::string decimal(DeterministicRandom& random, int low, int high) {
    return std::to_string(random.between(low, high)) + "." + std::to_string(random.between(0, 99));
}

// Keys a unit definition carries besides those the catalogue reads. None of
// them is a key the catalogue recognises.
std::string extraUnitValue(std::string_view key, const UnitDefinition& unit,
                           DeterministicRandom& random) {
    if (key == "Objectname" || key == "Corpse" || key == "SoundCategory")
        return unit.name + (key == "Corpse" ? "_dead" : "");
    if (key == "Category") {
        static constexpr std::string_view kWords[] = {"WEAPON", "NOTAIR",    "NOTSUB", "SURFACE",
                                                      "LEVEL2", "CONSTRUCT", "KBOT",   "TANK",
                                                      "SHIP",   "ECONOMY",   "DEFENSE"};
        std::string text = unit.side;
        for (int i = random.between(2, 6); i > 0; --i) {
            text += ' ';
            text += random.pick(kWords);
        }
        return text;
    }
    if (key == "Copyright") return "free for all packs, credit the authors";
    if (key.starts_with("Can") || key == "Upright" || key == "ShootMe" || key == "ThreeD")
        return number(random, 0, 1);  // switches
    if (key == "Version" || key == "Scale" || key == "BMcode") return number(random, 0, 2);
    if (key == "MaxVelocity" || key == "Acceleration" || key == "BrakeRate")
        return decimal(random, 0, 3);
    if (key == "MovementClass") return random.chance(0.5) ? "TANKSH2" : "KBOTDS3";
    if (key == "ExplodeAs" || key == "SelfDestructAs")
        return random.chance(0.5) ? "BIG_UNITEX" : "SMALL_UNITEX";
    if (key == "Designation") return unit.name.substr(0, 3) + "-" + number(random, 10, 99);
    if (key == "DefaultMissionType") return random.chance(0.5) ? "Standby" : "GuardStand";
    return number(random, 0, 2000);
}

constexpr std::array<std::string_view, 44> kExtraUnitKeys = {"Version",        "Copyright",
                                                             "Objectname",     "Designation",
                                                             "FootprintX",     "FootprintZ",
                                                             "MaxSlope",       "MaxWaterDepth",
                                                             "MinWaterDepth",  "MaxVelocity",
                                                             "Acceleration",   "BrakeRate",
                                                             "TurnRate",       "SteeringMode",
                                                             "Category",       "BuildAngle",
                                                             "CanMove",        "CanPatrol",
                                                             "CanStop",        "CanGuard",
                                                             "CanAttack",      "MovementClass",
                                                             "SoundCategory",  "ExplodeAs",
                                                             "SelfDestructAs", "Corpse",
                                                             "BMcode",         "Scale",
                                                             "EnergyMake",     "EnergyUse",
                                                             "MetalMake",      "MetalStorage",
                                                             "EnergyStorage",  "WorkerTime",
                                                             "BuildDistance",  "Upright",
                                                             "ShootMe",        "DefaultMissionType",
                                                             "SightDistance",  "RadarDistance",
                                                             "CruiseAlt",      "HealTime",
                                                             "DamageModifier", "ThreeD"};

}  // namespace

TextStyle RandomTextStyle(DeterministicRandom& random) {
    TextStyle style;
    style.crlf = random.chance(0.7);
    style.mixedLineEnds = random.chance(0.1);
    double c = random.unit();
    style.keyCase = c < 0.55   ? KeyCase::AsWritten
                    : c < 0.7  ? KeyCase::Upper
                    : c < 0.85 ? KeyCase::Lower
                               : KeyCase::Mixed;
    style.tabs = random.chance(0.85);
    style.comments = random.chance(0.6);
    return style;
}

std::string UnitDefinitionText(const UnitDefinition& unit, std::size_t targetSize,
                               const TextStyle& style, DeterministicRandom& random) {
    TextBuilder text(style, random);
    if (style.comments) text.line("// " + unit.name + " - " + unit.description);
    text.line("[UNITINFO]");
    text.line("{", style.tabs ? 1 : 0);
    auto key = [&](std::string_view k, const std::string& v) {
        text.keyValue(k, v, 1);
        text.maybeNoise(1);
    };
    key("UnitName", unit.name);
    key("Side", unit.side);
    key("Name", unit.callname);
    key("Description", unit.description);
    key("TEDClass", unit.tedClass);
    key("UnitNumber", std::to_string(unit.number));
    key("MaxDamage", std::to_string(unit.maxDamage));
    key("BuildTime", std::to_string(unit.buildTime));
    key("BuildCostEnergy", std::to_string(unit.costEnergy));
    key("BuildCostMetal", std::to_string(unit.costMetal));
    for (std::size_t i = 0; i < unit.weapons.size() && i < 5; ++i)
        key("Weapon" + std::to_string(i + 1), unit.weapons[i]);
    if (unit.builder) {
        key("Builder", "1");
        key("WorkerTime", number(random, 100, 400));
    }

    // The rest, in a shuffled order, until the file is about as long as asked.
    std::array<std::size_t, kExtraUnitKeys.size()> order;
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    for (std::size_t i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[random.below(i + 1)]);
    constexpr std::size_t kClosing = 8;
    for (std::size_t round = 0; text.size() + kClosing < targetSize; ++round) {
        std::string_view extra = kExtraUnitKeys[order[round % order.size()]];
        std::string value = extraUnitValue(extra, unit, random);
        if (text.size() + extra.size() + value.size() + 6 + kClosing > targetSize) break;
        // A second pass over the keys writes numbered custom keys, as some packs do.
        std::string name = round < order.size() ? std::string(extra)
                                                : "Custom" + std::string(extra) +
                                                      std::to_string(round / order.size());
        key(name, value);
    }
    text.line("}", style.tabs ? 1 : 0);
    return text.take();
}

std::string WeaponFileText(const std::vector<WeaponDefinition>& weapons, const TextStyle& style,
                           DeterministicRandom& random) {
    static constexpr std::string_view kKinds[] = {"Laser",  "Cannon", "Rocket",  "Pulse", "Beam",
                                                  "Mortar", "Flak",   "Torpedo", "Arc",   "Needle"};
    static constexpr std::string_view kIdKeys[] = {"ID", "id", "Id"};
    TextBuilder text(style, random);
    for (const WeaponDefinition& weapon : weapons) {
        text.maybeNoise(0);
        text.line("[" + weapon.name + "]");
        text.line("{", style.tabs ? 1 : 0);
        // The number comes first: a nested section's closing brace ends the weapon.
        text.line(std::string(random.pick(kIdKeys)) + "=" + std::to_string(weapon.id) + ";", 1);
        text.keyValue("name", std::string(random.pick(kKinds)) + " " + number(random, 1, 9), 1);
        text.keyValue("rendertype", number(random, 0, 7), 1);
        text.keyValue("lineofsight", number(random, 0, 1), 1);
        text.maybeNoise(1);
        text.keyValue("range", number(random, 120, 1400), 1);
        text.keyValue("reloadtime", decimal(random, 0, 9), 1);
        text.keyValue("weaponvelocity", number(random, 100, 900), 1);
        text.keyValue("areaofeffect", number(random, 8, 256), 1);
        if (random.chance(0.5)) {
            text.keyValue("energypershot", number(random, 0, 900), 1);
            text.keyValue("soundstart", "shot" + number(random, 1, 40), 1);
            text.keyValue("soundhit", "hit" + number(random, 1, 40), 1);
            text.keyValue("explosiongaf", "fx", 1);
            text.keyValue("explosionart", "burst" + number(random, 1, 9), 1);
        }
        if (random.chance(0.9)) {
            text.line("[DAMAGE]", 1);
            text.line("{", 2);
            text.keyValue("default", number(random, 5, 3000), 2);
            if (random.chance(0.4)) text.keyValue("armoured", number(random, 5, 3000), 2);
            text.line("}", 2);
        }
        text.line("}", style.tabs ? 1 : 0);
    }
    return text.take();
}

std::string DownloadFileText(const std::vector<MenuEntryDefinition>& entries,
                             const TextStyle& style, DeterministicRandom& random) {
    TextBuilder text(style, random);
    int n = 0;
    for (const MenuEntryDefinition& entry : entries) {
        text.maybeNoise(0);
        text.line("[MENUENTRY" + std::to_string(++n) + "]");
        text.line("{", style.tabs ? 1 : 0);
        std::array<std::pair<std::string_view, const std::string*>, 4> keys = {{
            {"UNITMENU", &entry.builder},
            {"MENU", &entry.menu},
            {"BUTTON", &entry.button},
            {"UNITNAME", &entry.unit},
        }};
        // Most files keep the usual order; a few hand-edited ones do not.
        if (random.chance(0.1)) std::swap(keys[random.below(4)], keys[random.below(4)]);
        for (const auto& [key, value] : keys) text.keyValue(key, *value, 1);
        text.line("}", style.tabs ? 1 : 0);
    }
    return text.take();
}

}  // namespace kloxmere::tools

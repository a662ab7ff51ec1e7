#include "units/clsUnit.h"

#include <array>

#include "archive/clsHPI.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"
#include "units/DefinitionText.h"
#include "units/clsWeapon.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

using Field = std::string clsUnit::*;

struct RecognisedKey {
    std::string_view key;
    Field field;  // nullptr: the value is a weapon name
};

// In the order keys are tried; the first match applies.
constexpr std::array<RecognisedKey, 15> kUnitKeys = {{
    {"unitname", &clsUnit::Name},
    {"side", &clsUnit::Side},
    {"name", &clsUnit::Callname},
    {"tedclass", &clsUnit::Class},
    {"description", &clsUnit::Description},
    {"unitnumber", &clsUnit::ID},
    {"maxdamage", &clsUnit::MaxDamage},
    {"buildtime", &clsUnit::BuildTime},
    {"buildcostenergy", &clsUnit::CostEnergy},
    {"buildcostmetal", &clsUnit::CostMetal},
    {"weapon1", nullptr},
    {"weapon2", nullptr},
    {"weapon3", nullptr},
    {"weapon4", nullptr},
    {"weapon5", nullptr},
}};

}  // namespace

void ReadUnitDefinition(clsUnit& unit, std::string_view text) {
    ForEachCleanLine(text, [&](std::string_view line) {
        DefinitionLine split = SplitDefinitionLine(line);
        if (split.key.empty()) return;
        for (const auto& recognised : kUnitKeys) {
            // The keys are ASCII: a key with any other character matches none.
            if (!EqualsAsciiNoCase(split.key, recognised.key)) continue;
            if (recognised.field) {
                unit.*recognised.field = std::string(split.value);
            } else {
                unit.WeaponNames.emplace_back(split.value);
            }
            return;
        }
    });
}

bool clsUnit::Load(const std::string& path) {
    if (!HPI) return false;
    auto bytes = HPI->ExtractToMemory(path);
    if (!bytes) return false;
    ReadUnitDefinition(*this, DecodeWindows1252(*bytes));
    return true;
}

void clsUnit::AttachWeapons(const Collection<clsWeapon*>& WeaponList) {
    for (const auto& name : WeaponNames) {
        clsWeapon* const* found = WeaponList.Find(name);
        if (!found) continue;
        clsWeapon* weapon = *found;
        Weapons.tryAdd(weapon, name);
        weapon->Units.tryAdd(this, Name);
    }
}

bool clsUnit::Enabled() const {
    return HPI ? HPI->Enabled() : true;
}

bool clsUnit::SetEnabled(bool value, std::string* reason) {
    if (!HPI) {
        if (reason) *reason = "the unit has no archive";
        return false;
    }
    return HPI->SetEnabled(value, reason);
}

std::int16_t clsUnit::Conflict() const {
    std::int16_t state = Conflicts.empty() ? 0 : -1;
    if (state == -1) return state;
    for (const clsWeapon* weapon : Weapons) {
        for (const clsWeapon* other : weapon->Conflicts) {
            for (const clsUnit* carrier : other->Units) {
                if (carrier->Enabled()) return -1;  // nothing outranks -1
                state = 2;
            }
        }
    }
    return state;
}

std::string clsUnit::ConflictDescription() const {
    std::string text;
    for (const clsWeapon* weapon : Weapons) {
        for (const clsWeapon* other : weapon->Conflicts) {
            text += "Conflicts with ";
            bool first = true;
            for (const clsUnit* carrier : other->Units) {
                if (!first) text += " and ";
                text += carrier->Name;
                first = false;
            }
            text +=
                " (Weapon " + weapon->Name + " is conflicting with weapon " + other->Name + "). ";
        }
    }
    return text;
}

}  // namespace kloxmere

#include "units/clsUnit.h"

#include <algorithm>
#include <optional>

#include "archive/clsHPI.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"
#include "units/DefinitionText.h"
#include "units/clsWeapon.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

using Field = CompactText clsUnit::*;

// The field a recognised key fills; nullptr for the five weapon keys, whose
// values are appended to WeaponNames. The keys are ASCII, so a key holding
// any other character matches none; each length is tried only against the
// keys of that length.
std::optional<Field> recognisedField(std::string_view key) {
    auto is = [&](std::string_view lowerKey) { return EqualsAsciiNoCase(key, lowerKey); };
    switch (key.size()) {
        case 4:
            if (is("side")) return &clsUnit::Side;
            if (is("name")) return &clsUnit::Callname;
            break;
        case 7:
            if (is("weapon1") || is("weapon2") || is("weapon3") || is("weapon4") || is("weapon5")) {
                return Field{nullptr};
            }
            break;
        case 8:
            if (is("unitname")) return &clsUnit::Name;
            if (is("tedclass")) return &clsUnit::Class;
            break;
        case 9:
            if (is("maxdamage")) return &clsUnit::MaxDamage;
            if (is("buildtime")) return &clsUnit::BuildTime;
            break;
        case 10:
            if (is("unitnumber")) return &clsUnit::ID;
            break;
        case 11:
            if (is("description")) return &clsUnit::Description;
            break;
        case 14:
            if (is("buildcostmetal")) return &clsUnit::CostMetal;
            break;
        case 15:
            if (is("buildcostenergy")) return &clsUnit::CostEnergy;
            break;
        default:
            break;
    }
    return std::nullopt;
}

// `assign(field, value)` stores a value as text of the program (UTF-8).
template <class Assign>
void readUnit(clsUnit& unit, std::string_view text, Assign assign) {
    ForEachCleanedLine(text, [&](const CleanedLine& line) {
        if (line.equals == CleanedLine::npos) return;
        DefinitionLine split = line.split();
        std::optional<Field> field = recognisedField(split.key);
        if (!field) return;
        if (*field) {
            assign(unit.**field, split.value);
        } else {
            assign(unit.WeaponNames.emplace_back(), split.value);
        }
    });
}

}  // namespace

void ReadUnitDefinition(clsUnit& unit, std::string_view text) {
    readUnit(unit, text, [](CompactText& field, std::string_view value) { field.assign(value); });
}

void ReadUnitDefinitionBytes(clsUnit& unit, std::span<const std::uint8_t> bytes) {
    readUnit(unit, AsChars(bytes), AssignWindows1252);
}

bool clsUnit::Load(const std::string& path) {
    if (!HPI) return false;
    auto bytes = HPI->ExtractToMemory(path);
    if (!bytes) return false;
    ReadUnitDefinitionBytes(*this, *bytes);
    return true;
}

void clsUnit::AttachWeapons(const Collection<clsWeapon*>& WeaponList) {
    for (const auto& name : WeaponNames) {
        clsWeapon* const* found = WeaponList.Find(name);
        if (!found) continue;
        clsWeapon* weapon = *found;
        // WeaponList holds one weapon per name in any case, so a name given
        // twice finds the same weapon: the weapon itself tells, and the
        // unit's list needs no copies of the names.
        if (std::find(Weapons.begin(), Weapons.end(), weapon) == Weapons.end()) {
            Weapons.Add(weapon);
        }
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

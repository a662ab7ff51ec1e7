#include "catalogue/Catalogue.h"

#include "archive/clsHPI.h"
#include "base/TextCase.h"

namespace kloxmere {

Catalogue::Catalogue() = default;
Catalogue::~Catalogue() = default;

clsUnitArchive& Catalogue::NewArchive() {
    m_archives.push_back(std::make_unique<clsUnitArchive>());
    return *m_archives.back();
}

std::string Catalogue::AddUnit(clsUnit& unit) {
    std::string key = RunningNumberKey(unit.Name, UnitList.Count() + 1, [&](const std::string& k) {
        return UnitList.tryAdd(&unit, k);
    });
    m_unitPositions.emplace(&unit, UnitList.Count());
    m_unitFiles.insert(unit.Filename);
    return key;
}

bool Catalogue::AddWeapon(clsWeapon& weapon) {
    if (!WeaponList.tryAdd(&weapon, weapon.Name)) return false;
    m_weaponFiles.insert(weapon.Filename);
    return true;
}

bool Catalogue::AddMenuEntry(clsMenuEntry& entry) {
    return MenuEntryList.tryAdd(&entry, entry.GenerateKey());
}

bool Catalogue::HasUnitFile(std::string_view path) const {
    return m_unitFiles.find(path) != m_unitFiles.end();
}

bool Catalogue::HasWeaponFile(std::string_view path) const {
    return m_weaponFiles.find(path) != m_weaponFiles.end();
}

bool Catalogue::HoldsDefinitionFile(DefinitionKind kind, std::string_view path) const {
    switch (kind) {
        case DefinitionKind::Unit:
            return HasUnitFile(path);
        case DefinitionKind::Weapons:
            return HasWeaponFile(path);
        case DefinitionKind::Download:
            return false;
    }
    return false;
}

std::string Catalogue::UnitKey(const clsUnit& unit) const {
    auto it = m_unitPositions.find(&unit);
    if (it == m_unitPositions.end()) return {};
    return std::string(UnitList.KeyAt(it->second).value_or(std::string_view()));
}

const WeaponPartners::Group& Catalogue::KeepWeaponGroup(WeaponPartners::Group group) {
    m_weaponGroups.push_back(std::move(group));
    return m_weaponGroups.back();
}

}  // namespace kloxmere

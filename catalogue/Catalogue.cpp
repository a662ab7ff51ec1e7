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
    return AddUnit(unit, HashedName(unit.Filename));
}

std::string Catalogue::AddUnit(clsUnit& unit, const HashedName& file) {
    std::string key = RunningNumberKey(unit.Name, UnitList.Count() + 1, [&](const std::string& k) {
        return UnitList.tryAdd(&unit, k);
    });
    m_unitPositions.emplace(&unit, UnitList.Count());
    m_unitFiles.insert(HashedName(unit.Filename, file.hash));
    return key;
}

bool Catalogue::AddWeapon(clsWeapon& weapon) {
    return AddWeapon(weapon, HashedName(weapon.Filename));
}

bool Catalogue::AddWeapon(clsWeapon& weapon, const HashedName& file) {
    if (!WeaponList.tryAdd(&weapon, weapon.Name)) return false;
    m_weaponFiles.insert(HashedName(weapon.Filename, file.hash));
    return true;
}

bool Catalogue::AddMenuEntry(clsMenuEntry& entry) {
    return MenuEntryList.tryAdd(&entry, entry.GenerateKey());
}

bool Catalogue::HasUnitFile(std::string_view path) const {
    return m_unitFiles.count(HashedName(path)) != 0;
}

bool Catalogue::HasWeaponFile(std::string_view path) const {
    return m_weaponFiles.count(HashedName(path)) != 0;
}

bool Catalogue::HoldsDefinitionFile(DefinitionKind kind, std::string_view path) const {
    return kind != DefinitionKind::Download && HoldsDefinitionFile(kind, HashedName(path));
}

bool Catalogue::HoldsDefinitionFile(DefinitionKind kind, const HashedName& path) const {
    switch (kind) {
        case DefinitionKind::Unit:
            return m_unitFiles.count(path) != 0;
        case DefinitionKind::Weapons:
            return m_weaponFiles.count(path) != 0;
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

#include "catalogue/Catalogue.h"

#include <functional>

#include "archive/clsHPI.h"
#include "base/TextCase.h"

namespace kloxmere {

Catalogue::Catalogue() = default;
Catalogue::~Catalogue() = default;

clsUnitArchive& Catalogue::NewArchive() {
    m_archives.push_back(std::make_unique<clsUnitArchive>());
    return *m_archives.back();
}

namespace {

std::size_t addressHash(const void* address) {
    return std::hash<const void*>()(address);
}

}  // namespace

std::string Catalogue::AddUnit(clsUnit& unit) {
    return AddUnit(unit, HashedName(unit.Filename));
}

std::string Catalogue::AddUnit(clsUnit& unit, const HashedName& file) {
    std::string key = RunningNumberKey(unit.Name, UnitList.Count() + 1, [&](const std::string& k) {
        return UnitList.tryAdd(&unit, k);
    });
    std::size_t position = UnitList.Count();
    m_unitAddresses.insert(position, addressHash(&unit));
    if (!HoldsDefinitionFile(DefinitionKind::Unit, file)) m_unitFiles.insert(position, file.hash);
    return key;
}

bool Catalogue::AddWeapon(clsWeapon& weapon) {
    return AddWeapon(weapon, HashedName(weapon.Filename));
}

bool Catalogue::AddWeapon(clsWeapon& weapon, const HashedName& file) {
    if (!WeaponList.tryAdd(&weapon, weapon.Name)) return false;
    if (!HoldsDefinitionFile(DefinitionKind::Weapons, file)) {
        m_weaponFiles.insert(WeaponList.Count(), file.hash);
    }
    return true;
}

bool Catalogue::AddMenuEntry(clsMenuEntry& entry) {
    entry.KeyInto(m_keyBuffer);
    std::size_t hash = HashNoCase(m_keyBuffer);
    auto taken = m_menuKeys.find(hash, [&](std::size_t position) {
        MenuEntryList.Item(position)->KeyInto(m_otherKeyBuffer);
        return EqualsNoCase(m_keyBuffer, m_otherKeyBuffer);
    });
    if (taken) return false;
    MenuEntryList.Add(&entry);
    m_menuKeys.insert(MenuEntryList.Count(), hash);
    return true;
}

bool Catalogue::HasUnitFile(std::string_view path) const {
    return HoldsDefinitionFile(DefinitionKind::Unit, HashedName(path));
}

bool Catalogue::HasWeaponFile(std::string_view path) const {
    return HoldsDefinitionFile(DefinitionKind::Weapons, HashedName(path));
}

bool Catalogue::HoldsDefinitionFile(DefinitionKind kind, std::string_view path) const {
    return kind != DefinitionKind::Download && HoldsDefinitionFile(kind, HashedName(path));
}

bool Catalogue::HoldsDefinitionFile(DefinitionKind kind, const HashedName& path) const {
    auto fileOf = [&path](const PositionIndex& index, const auto& list) {
        return index
            .find(path.hash,
                  [&](std::size_t p) { return EqualsNoCase(list.Item(p)->Filename, path.text); })
            .has_value();
    };
    switch (kind) {
        case DefinitionKind::Unit:
            return fileOf(m_unitFiles, UnitList);
        case DefinitionKind::Weapons:
            return fileOf(m_weaponFiles, WeaponList);
        case DefinitionKind::Download:
            return false;
    }
    return false;
}

std::string Catalogue::UnitKey(const clsUnit& unit) const {
    auto position = m_unitAddresses.find(addressHash(&unit),
                                         [&](std::size_t p) { return UnitList.Item(p) == &unit; });
    if (!position) return {};
    return std::string(UnitList.KeyAt(*position).value_or(std::string_view()));
}

const WeaponPartners::Group& Catalogue::KeepWeaponGroup(WeaponPartners::Group group) {
    m_weaponGroups.push_back(std::move(group));
    return m_weaponGroups.back();
}

}  // namespace kloxmere

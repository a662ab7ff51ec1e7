#include "tools/InstallationPlan.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "base/TextCase.h"
#include "tools/ArchiveLayout.h"
#include "tools/NamePools.h"

namespace kloxmere::tools {

namespace {

// The most weapons one weapon file holds.
constexpr std::uint64_t kMaxWeaponsPerFile = 240;

// A weapon already planned: where it first appears decides nothing here,
// only its name and number matter to later copies and references.
struct KnownWeapon {
    std::string name;
    int id = 0;
    bool fromGame = false;
};

// A builder's menu: the next free button and how many entries each used one holds.
struct BuilderMenu {
    std::uint32_t next = 0;
    std::vector<std::uint32_t> used;
    std::unordered_map<std::uint32_t, int> holders;
};

class Planner {
  public:
    Planner(const InstallationTier& tier, std::uint64_t seed)
        : m_tier(tier), m_seed(seed), m_random(DeterministicRandom::Derive(seed, 1)) {}

    InstallationPlan run() {
        static constexpr std::string_view kYears[] = {"1997", "1998", "1999"};
        m_plan.trailerYear = std::string(m_random.pick(kYears));
        m_plan.archives = LayOutArchives(m_tier, m_random, m_archiveNames);
        std::vector<ArchiveQuota> quotas = ShareOut(m_tier, m_plan.archives, m_random);
        for (std::size_t i = 0; i < quotas.size(); ++i) {
            if (quotas[i].entries > 0) m_lastWithEntries = i;
            if (quotas[i].weapons > 0 && !IsGameArchive(m_plan.archives[i])) m_lastWithWeapons = i;
        }
        for (std::size_t i = 0; i < m_plan.archives.size(); ++i) planArchive(i, quotas[i]);
        count();
        return std::move(m_plan);
    }

  private:
    void planArchive(std::size_t index, const ArchiveQuota& quota);
    void planUnits(PlannedArchive& archive, std::uint64_t count);
    void planWeapons(PlannedArchive& archive, std::uint64_t fresh);
    void armUnits(PlannedArchive& archive, std::size_t firstWeapon);
    void planMenu(PlannedArchive& archive, std::uint64_t count);
    void copyOriginal(PlannedArchive& archive);
    void count();

    // "units", now and then "Units" or "UNITS": directories are looked up without regard to case.
    std::string pickDirectory(std::string_view name) {
        double r = m_random.unit();
        std::string spelled(name);
        if (r >= 0.9) return UpperAscii(spelled);
        if (r >= 0.75)
            spelled[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(spelled[0])));
        return spelled;
    }

    const InstallationTier& m_tier;
    std::uint64_t m_seed;
    DeterministicRandom m_random;
    InstallationPlan m_plan;
    NameBook m_archiveNames, m_unitNames, m_weaponNames;
    std::unordered_set<std::string> m_unitFiles, m_weaponFiles;        // folded, whole installation
    std::vector<std::pair<std::size_t, std::size_t>> m_originalUnits;  // archive, unit
    std::vector<std::pair<std::size_t, std::size_t>> m_originalWeaponFiles;
    std::vector<KnownWeapon> m_knownWeapons;  // every new weapon so far, in load order
    std::vector<std::size_t> m_gameWeapons;   // those of the game's archives
    std::vector<std::string> m_builders;
    std::unordered_map<std::string, BuilderMenu> m_menus;  // folded builder name
    std::unordered_set<std::string> m_menuKeys;            // folded entry keys
    std::vector<MenuEntryDefinition> m_entries;            // every entry so far
    // However small the installation, the last archives to bring weapons and
    // menu entries make sure that a weapon number and a button are shared.
    std::size_t m_lastWithEntries = ~std::size_t{0};
    std::size_t m_lastWithWeapons = ~std::size_t{0};
    int m_nextUnitNumber = 1;
    int m_nextGameWeaponId = 1;
    std::size_t m_current = 0;  // the archive being planned
};

void Planner::planArchive(std::size_t index, const ArchiveQuota& quota) {
    m_current = index;
    PlannedArchive& archive = m_plan.archives[index];
    archive.seed = DeterministicRandom::Derive(m_seed, 1000 + index);
    if (IsGameArchive(archive)) {
        archive.key = static_cast<std::uint8_t>(m_random.between(1, 255));
        archive.encoding = {HpiCompression::Lz77, archive.role == ArchiveRole::Game};
    } else {
        archive.key = 0;
        archive.encoding = {m_random.chance(0.05) ? HpiCompression::Lz77 : HpiCompression::Zlib,
                            false};
    }
    archive.unitsDir = pickDirectory("units");
    archive.weaponsDir = pickDirectory("weapons");
    archive.downloadDir = pickDirectory("download");

    if (archive.role == ArchiveRole::OldVersion) {
        copyOriginal(archive);
        return;
    }
    if (archive.role == ArchiveRole::MapPack || m_random.chance(0.08)) {
        int maps = archive.role == ArchiveRole::MapPack ? m_random.between(1, 4) : 1;
        for (int i = 0; i < maps; ++i) archive.maps.push_back(m_archiveNames.newMapName(m_random));
    }
    planUnits(archive, quota.units);
    std::size_t firstWeapon = m_knownWeapons.size();
    planWeapons(archive, quota.weapons);
    armUnits(archive, firstWeapon);
    planMenu(archive, quota.entries);
}

void Planner::planUnits(PlannedArchive& archive, std::uint64_t count) {
    bool big = IsGameArchive(archive);
    const SideName& archiveSide =
        m_random.chance(0.7) ? kSides[m_random.below(kGameSides)] : m_random.pick(kSides);
    double spelling = m_random.unit();
    bool upperFiles = m_random.chance(0.5);
    for (std::uint64_t i = 0; i < count; ++i) {
        const SideName& side = big ? kSides[i % kGameSides] : archiveSide;
        bool builder = (big && i < kGameSides) || m_random.chance(big ? 0.12 : 0.08);
        const UnitClass& unitClass = RandomUnitClass(m_random, builder);
        PlannedUnit unit;
        UnitDefinition& d = unit.definition;
        // Now and then an add-on reuses a name another archive gave its unit.
        if (!big && !m_originalUnits.empty() && m_random.chance(0.03)) {
            auto [a, u] = m_random.pick(m_originalUnits);
            d.name = m_plan.archives[a].units[u].definition.name;
        } else {
            d.name = m_unitNames.newUnitName(side.prefix, m_random);
        }
        d.side = std::string(side.side);
        if (spelling < 0.1)
            d.side = d.side.substr(0, 1) + LowerAscii(d.side.substr(1));
        else if (spelling < 0.15)
            d.side = LowerAscii(d.side);
        d.callname = RandomCallname(m_random);
        d.tedClass = std::string(unitClass.tedClass);
        d.description = std::string(unitClass.description);
        d.builder = unitClass.builder;
        d.number = m_nextUnitNumber++;
        d.maxDamage = m_random.between(80, 9000);
        d.buildTime = m_random.between(800, 60000);
        d.costEnergy = m_random.between(100, 30000);
        d.costMetal = m_random.between(20, 4000);
        unit.textSize = static_cast<std::size_t>(m_random.between(880, 3900));

        std::string file = d.name;
        for (int n = 2; !m_unitFiles.insert(FoldCase(file + ".fbi")).second; ++n)
            file = d.name + "_" + std::to_string(n);
        unit.fileName = file + (upperFiles ? ".FBI" : ".fbi");
        if (d.builder) m_builders.push_back(d.name);
        m_originalUnits.emplace_back(m_current, archive.units.size());
        archive.units.push_back(std::move(unit));
    }

    // A re-released unit: the same file an earlier archive already brought.
    if (archive.role == ArchiveRole::AddOn && m_originalUnits.size() > archive.units.size() &&
        m_random.chance(0.05)) {
        std::size_t earlier = m_originalUnits.size() - archive.units.size();
        for (int copies = m_random.between(1, 2); copies > 0; --copies) {
            auto [a, u] = m_originalUnits[m_random.below(earlier)];
            PlannedUnit copy = m_plan.archives[a].units[u];
            copy.shadowed = true;
            if (m_random.chance(0.5)) copy.fileName = LowerAscii(copy.fileName);
            bool taken = std::any_of(archive.units.begin(), archive.units.end(), [&](auto& other) {
                return EqualsNoCase(other.fileName, copy.fileName);
            });
            if (!taken) archive.units.push_back(std::move(copy));
        }
    }
}

void Planner::planWeapons(PlannedArchive& archive, std::uint64_t fresh) {
    if (fresh == 0) return;
    bool big = IsGameArchive(archive);
    std::string stem = LowerAscii(FileStem(archive.fileName));
    std::vector<std::string> names;
    if (big || archive.role == ArchiveRole::WeaponPack) {
        std::uint64_t perFile = static_cast<std::uint64_t>(m_random.between(120, 220));
        std::uint64_t files = (fresh + perFile - 1) / perFile;
        for (std::uint64_t k = 0; k < files; ++k)
            names.push_back(stem + (k ? std::to_string(k + 1) : ""));
    } else if (m_random.chance(0.2) && !archive.units.empty()) {
        for (std::size_t k = 0; k < archive.units.size() && k < fresh; ++k) {
            if (!archive.units[k].shadowed) names.push_back(archive.units[k].definition.name);
        }
    }
    if (names.empty()) names.push_back(stem);
    while (names.size() * (kMaxWeaponsPerFile - 40) < fresh)
        names.push_back(stem + std::to_string(names.size() + 1));
    bool upperFiles = m_random.chance(0.3);
    for (std::string& name : names) {
        std::string base = name;
        for (int n = 2; !m_weaponFiles.insert(FoldCase(name + ".tdf")).second; ++n)
            name = base + "_w" + std::to_string(n);
        name += upperFiles ? ".TDF" : ".tdf";
    }
    // The files load in directory order; each gets at least one new weapon,
    // so that its path counts as catalogued and later copies are passed over.
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    std::vector<double> weights(names.size(), 1.0);
    std::uint64_t overflow = 0;
    auto extra = Apportion(fresh - names.size(), weights,
                           std::vector<std::uint64_t>(names.size(), kMaxWeaponsPerFile - 1),
                           m_random, &overflow);
    const SideName& side = m_random.pick(kSides);
    for (std::size_t k = 0; k < names.size(); ++k) {
        PlannedWeaponFile file;
        file.fileName = names[k];
        std::uint64_t count = 1 + extra[k] + (k == 0 ? overflow : 0);
        for (std::uint64_t w = 0; w < count; ++w) {
            WeaponDefinition weapon;
            weapon.name = m_weaponNames.newWeaponName(side.prefix, m_random);
            weapon.id = big ? (m_nextGameWeaponId++ % 256) : m_random.between(0, 255);
            if (m_current == m_lastWithWeapons && k == 0 && w == 0 && !m_knownWeapons.empty())
                weapon.id = m_knownWeapons.front().id;
            if (big) m_gameWeapons.push_back(m_knownWeapons.size());
            m_knownWeapons.push_back({weapon.name, weapon.id, big});
            file.weapons.push_back(std::move(weapon));
        }
        // Copies of weapons other archives defined: their names are taken, so
        // the catalogue keeps the first definition.
        std::size_t earlier = m_knownWeapons.size() - static_cast<std::size_t>(count);
        if (earlier > 0 && !big) {
            std::size_t repeats = 0;
            for (std::uint64_t w = 0; w < count; ++w) repeats += m_random.chance(0.12) ? 1 : 0;
            repeats = std::min<std::size_t>(
                repeats, kMaxWeaponsPerFile - std::min(count, kMaxWeaponsPerFile));
            for (; repeats > 0; --repeats) {
                const KnownWeapon& known = !m_gameWeapons.empty() && m_random.chance(0.6)
                                               ? m_knownWeapons[m_random.pick(m_gameWeapons)]
                                               : m_knownWeapons[m_random.below(earlier)];
                WeaponDefinition copy{m_random.chance(0.2) ? LowerAscii(known.name) : known.name,
                                      m_random.chance(0.7) ? known.id : m_random.between(0, 255)};
                std::size_t at = 1 + m_random.below(file.weapons.size());
                file.weapons.insert(file.weapons.begin() + static_cast<std::ptrdiff_t>(at), copy);
            }
        }
        m_originalWeaponFiles.emplace_back(m_current, archive.weaponFiles.size());
        archive.weaponFiles.push_back(std::move(file));
    }

    // An add-on that ships another archive's weapon file unchanged.
    std::size_t ownFiles = archive.weaponFiles.size();
    if (archive.role == ArchiveRole::AddOn && m_originalWeaponFiles.size() > ownFiles &&
        m_random.chance(0.04)) {
        auto [a, f] =
            m_originalWeaponFiles[m_random.below(m_originalWeaponFiles.size() - ownFiles)];
        PlannedWeaponFile copy = m_plan.archives[a].weaponFiles[f];
        copy.shadowed = true;
        bool taken =
            std::any_of(archive.weaponFiles.begin(), archive.weaponFiles.end(),
                        [&](auto& other) { return EqualsNoCase(other.fileName, copy.fileName); });
        if (!taken) archive.weaponFiles.push_back(std::move(copy));
    }
}

void Planner::armUnits(PlannedArchive& archive, std::size_t firstWeapon) {
    std::size_t own = m_knownWeapons.size() - firstWeapon;
    std::size_t next = 0;
    for (PlannedUnit& unit : archive.units) {
        if (unit.shadowed || unit.definition.builder) continue;
        static constexpr std::string_view kUnarmed[] = {"ENERGY", "METAL", "SPECIAL"};
        if (std::find(std::begin(kUnarmed), std::end(kUnarmed), unit.definition.tedClass) !=
            std::end(kUnarmed))
            continue;
        double r = m_random.unit();
        int weapons = r < 0.5 ? 1 : r < 0.85 ? 2 : 3;
        for (int w = 0; w < weapons; ++w) {
            double x = m_random.unit();
            std::string name;
            if (x < 0.02) {
                name = unit.definition.name + "_UNDEFINED";  // a weapon nobody defines
            } else if (own > 0 && (x < 0.85 || firstWeapon == 0)) {
                name = m_knownWeapons[firstWeapon + next++ % own].name;
            } else if (firstWeapon > 0) {
                name = m_knownWeapons[m_random.below(firstWeapon)].name;
            } else {
                continue;
            }
            if (m_random.chance(0.1)) name = LowerAscii(name);
            unit.definition.weapons.push_back(std::move(name));
        }
    }
}

void Planner::planMenu(PlannedArchive& archive, std::uint64_t count) {
    std::vector<std::string> buildable;
    if (archive.role != ArchiveRole::MenuPatch) {
        for (const PlannedUnit& unit : archive.units) {
            if (!unit.shadowed) buildable.push_back(unit.definition.name);
        }
    }
    if (buildable.empty()) {
        for (int i = 0; i < 12 && !m_originalUnits.empty(); ++i) {
            auto [a, u] = m_random.pick(m_originalUnits);
            buildable.push_back(m_plan.archives[a].units[u].definition.name);
        }
    }
    if (buildable.empty() || m_builders.empty()) return;

    std::vector<MenuEntryDefinition> entries;
    for (std::uint64_t k = 0; k < count; ++k) {
        MenuEntryDefinition entry;
        entry.unit = buildable[k % buildable.size()];
        bool forceShare =
            m_current == m_lastWithEntries && m_plan.sharedMenuSlots == 0 && !m_entries.empty();
        // Most add-ons put their units on the first few builders' menus.
        entry.builder =
            forceShare ? m_random.pick(m_entries).builder
            : m_random.chance(0.35)
                ? m_builders[m_random.below(std::min<std::size_t>(6, m_builders.size()))]
                : m_random.pick(m_builders);
        BuilderMenu& menu = m_menus[FoldCase(entry.builder)];
        std::uint32_t slot = 0;
        bool shared = false;
        if (!menu.used.empty() && (forceShare || m_random.chance(0.06))) {
            slot = m_random.pick(menu.used);
            shared = menu.holders[slot] < 3;
        }
        auto keyOf = [&](std::uint32_t s) {
            return FoldCase(entry.builder + " " + std::to_string(1 + s / 6) + " " +
                            std::to_string(s % 6) + " " + entry.unit);
        };
        if (!shared || m_menuKeys.count(keyOf(slot))) {
            shared = false;
            slot = menu.next++;
        }
        m_menuKeys.insert(keyOf(slot));
        if (menu.holders[slot]++ == 0) menu.used.push_back(slot);
        m_plan.sharedMenuSlots += shared ? 1 : 0;
        entry.menu = std::to_string(1 + slot / 6);
        entry.button = std::to_string(slot % 6);
        if (m_random.chance(0.1)) entry.unit = LowerAscii(entry.unit);
        entries.push_back(entry);
        // An entry some other archive already made, word for word.
        if (!m_entries.empty() && m_random.chance(0.02))
            entries.push_back(m_random.pick(m_entries));
        m_entries.push_back(std::move(entry));
    }
    if (entries.empty()) return;

    std::string stem = LowerAscii(FileStem(archive.fileName));
    std::size_t perFile = IsGameArchive(archive) ? 300 : entries.size();
    for (std::size_t first = 0, n = 1; first < entries.size(); first += perFile, ++n) {
        PlannedDownloadFile file;
        file.fileName = stem + (n > 1 ? std::to_string(n) : "") + ".tdf";
        std::size_t last = std::min(entries.size(), first + perFile);
        file.entries.assign(entries.begin() + static_cast<std::ptrdiff_t>(first),
                            entries.begin() + static_cast<std::ptrdiff_t>(last));
        archive.downloadFiles.push_back(std::move(file));
    }
}

// The older copy holds the same files as the add-on it stands beside; it
// loads after it, so none of its units or weapon files count.
void Planner::copyOriginal(PlannedArchive& archive) {
    std::string stem = FileStem(archive.fileName);
    for (const PlannedArchive& original : m_plan.archives) {
        if (&original == &archive || !EqualsNoCase(FileStem(original.fileName), stem)) continue;
        for (PlannedUnit unit : original.units) {
            unit.shadowed = true;
            archive.units.push_back(std::move(unit));
        }
        for (PlannedWeaponFile file : original.weaponFiles) {
            file.shadowed = true;
            archive.weaponFiles.push_back(std::move(file));
        }
        archive.downloadFiles = original.downloadFiles;
        archive.maps = original.maps;
        return;
    }
}

void Planner::count() {
    for (const PlannedArchive& archive : m_plan.archives) {
        for (const PlannedUnit& unit : archive.units) {
            if (unit.shadowed)
                ++m_plan.shadowedUnitFiles;
            else
                ++m_plan.units;
        }
        for (const PlannedWeaponFile& file : archive.weaponFiles) {
            m_plan.weaponSections += file.weapons.size();
            if (file.shadowed) ++m_plan.shadowedWeaponFiles;
        }
        for (const PlannedDownloadFile& file : archive.downloadFiles)
            m_plan.menuEntriesWritten += file.entries.size();
    }
    m_plan.weapons = m_knownWeapons.size();
    m_plan.menuEntries = m_menuKeys.size();
}

}  // namespace

bool PlannedArchive::disabled() const {
    std::size_t dot = fileName.rfind('.');
    return dot != std::string::npos && dot + 1 < fileName.size() &&
           (fileName[dot + 1] == 'x' || fileName[dot + 1] == 'X');
}

bool PlannedArchive::catalogued() const {
    return !units.empty() || !weaponFiles.empty() || !downloadFiles.empty();
}

InstallationPlan PlanInstallation(const InstallationTier& tier, std::uint64_t seed) {
    return Planner(tier, seed).run();
}

}  // namespace kloxmere::tools

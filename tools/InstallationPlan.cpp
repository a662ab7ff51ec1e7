#include "tools/InstallationPlan.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "base/TextCase.h"
#include "tools/NamePools.h"

namespace kloxmere::tools {

namespace {

// The scan loads archives by extension in this order, each group sorted by
// name without regard to case.
constexpr std::string_view kLoadOrder[] = {"hpi", "xhpi", "ccx", "xccx", "ufo", "xufo"};

std::size_t extensionRank(std::string_view fileName) {
    std::string_view extension = fileName.substr(fileName.rfind('.') + 1);
    for (std::size_t i = 0; i < std::size(kLoadOrder); ++i) {
        if (EqualsNoCase(extension, kLoadOrder[i])) return i;
    }
    return std::size(kLoadOrder);
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}
std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string stemOf(const std::string& fileName) {
    return fileName.substr(0, fileName.rfind('.'));
}

// Splits `total` into parts in proportion to `weights`, none above its cap;
// what no part can take is returned in `overflow`.
std::vector<std::uint64_t> apportion(std::uint64_t total, const std::vector<double>& weights,
                                     const std::vector<std::uint64_t>& caps,
                                     DeterministicRandom& random, std::uint64_t* overflow) {
    std::vector<std::uint64_t> parts(weights.size(), 0);
    double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
    std::uint64_t given = 0;
    if (sum > 0) {
        for (std::size_t i = 0; i < weights.size(); ++i) {
            auto share = static_cast<std::uint64_t>(static_cast<double>(total) * weights[i] / sum);
            parts[i] = std::min({share, caps[i], total - given});
            given += parts[i];
        }
    }
    // The remainder one at a time, in a random order, to parts with room.
    std::vector<std::size_t> order(weights.size());
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[random.below(i)]);
    bool progress = true;
    while (given < total && progress) {
        progress = false;
        for (std::size_t i : order) {
            if (given == total) break;
            if (weights[i] > 0 && parts[i] < caps[i]) {
                ++parts[i];
                ++given;
                progress = true;
            }
        }
    }
    *overflow = total - given;
    return parts;
}

// The most weapons one weapon file holds.
constexpr std::uint64_t kMaxWeaponsPerFile = 240;

struct Quota {
    std::uint64_t units = 0, weapons = 0, entries = 0;
};

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
        makeArchives();
        std::vector<Quota> quotas = makeQuotas();
        for (std::size_t i = 0; i < quotas.size(); ++i) {
            if (quotas[i].entries > 0) m_lastWithEntries = i;
            if (quotas[i].weapons > 0 && !isBig(m_plan.archives[i])) m_lastWithWeapons = i;
        }
        for (std::size_t i = 0; i < m_plan.archives.size(); ++i) planArchive(i, quotas[i]);
        count();
        return std::move(m_plan);
    }

  private:
    bool isBig(const PlannedArchive& a) const {
        return a.role == ArchiveRole::Game || a.role == ArchiveRole::Expansion;
    }

    void makeArchives() {
        std::uint64_t n = m_tier.archives;
        std::uint64_t big =
            n >= 10 ? 5 : std::max<std::uint64_t>(std::min<std::uint64_t>(n, 1), n / 3);
        static constexpr std::pair<std::string_view, ArchiveRole> kBig[] = {
            {"basegame.hpi", ArchiveRole::Game},
            {"basegame2.hpi", ArchiveRole::Game},
            {"expansion1.ccx", ArchiveRole::Expansion},
            {"expansion2.ccx", ArchiveRole::Expansion},
            {"prototypes.xccx", ArchiveRole::Expansion}};
        auto& archives = m_plan.archives;
        for (std::uint64_t i = 0; i < big; ++i) {
            PlannedArchive archive;
            archive.fileName = std::string(kBig[i].first);
            archive.role = kBig[i].second;
            m_archiveNames.claim(stemOf(archive.fileName));
            archives.push_back(std::move(archive));
        }
        std::uint64_t small = n - big;
        std::uint64_t oldVersions = small >= 4 ? 1 : 0;
        std::uint64_t maps = small >= 6 ? (small * 12 + 50) / 100 : 0;
        std::uint64_t patches = (small * 2 + 50) / 100;
        std::uint64_t packs = (small * 3 + 50) / 100;
        std::uint64_t addOns = small - oldVersions - maps - patches - packs;

        auto addSmall = [&](ArchiveRole role, std::uint64_t count) {
            for (std::uint64_t i = 0; i < count; ++i) {
                PlannedArchive archive;
                archive.role = role;
                std::string stem = role == ArchiveRole::MapPack
                                       ? "maps_" + m_archiveNames.newArchiveStem(m_random)
                                       : m_archiveNames.newArchiveStem(m_random);
                double spelling = m_random.unit();
                if (spelling < 0.2)
                    stem = upper(stem);
                else if (spelling < 0.25)
                    stem[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(stem[0])));
                double disabled = role == ArchiveRole::MapPack ? 0.05 : 0.08;
                bool x = role != ArchiveRole::MenuPatch && m_random.chance(disabled);
                std::string extension = x ? ".xufo" : ".ufo";
                archive.fileName = stem + (spelling < 0.2 ? upper(extension) : extension);
                archives.push_back(std::move(archive));
            }
        };
        addSmall(ArchiveRole::AddOn, addOns);
        addSmall(ArchiveRole::WeaponPack, packs);
        addSmall(ArchiveRole::MenuPatch, patches);
        addSmall(ArchiveRole::MapPack, maps);
        // Every collection of some size has switched off an add-on or two.
        auto addOn = [](const PlannedArchive& a) { return a.role == ArchiveRole::AddOn; };
        auto disabledAddOn = [&](const PlannedArchive& a) { return addOn(a) && a.disabled(); };
        if (addOns >= 4 && std::none_of(archives.begin(), archives.end(), disabledAddOn)) {
            PlannedArchive& a = *std::find_if(archives.begin(), archives.end(), addOn);
            std::size_t dot = a.fileName.rfind('.');
            a.fileName = a.fileName.substr(0, dot + 1) + (a.fileName[dot + 1] == 'U' ? "X" : "x") +
                         a.fileName.substr(dot + 1);
        }
        if (oldVersions) {
            // An older copy of an enabled add-on kept beside it, disabled.
            std::vector<std::size_t> candidates;
            for (std::size_t i = 0; i < archives.size(); ++i) {
                if (archives[i].role == ArchiveRole::AddOn && !archives[i].disabled())
                    candidates.push_back(i);
            }
            PlannedArchive archive;
            if (candidates.empty()) {
                addSmall(ArchiveRole::AddOn, 1);
            } else {
                const PlannedArchive& original = archives[m_random.pick(candidates)];
                archive.role = ArchiveRole::OldVersion;
                archive.fileName = stemOf(original.fileName) + ".xufo";
                archives.push_back(std::move(archive));
            }
        }

        std::sort(archives.begin(), archives.end(),
                  [](const PlannedArchive& a, const PlannedArchive& b) {
                      std::size_t ra = extensionRank(a.fileName), rb = extensionRank(b.fileName);
                      return ra != rb ? ra < rb : LessNoCase(a.fileName, b.fileName);
                  });
    }

    std::vector<Quota> makeQuotas() {
        const auto& archives = m_plan.archives;
        std::size_t n = archives.size();
        std::vector<Quota> quotas(n);
        std::vector<std::size_t> big, small;
        for (std::size_t i = 0; i < n; ++i) {
            if (isBig(archives[i]))
                big.push_back(i);
            else if (archives[i].role == ArchiveRole::AddOn ||
                     archives[i].role == ArchiveRole::WeaponPack)
                small.push_back(i);
        }
        const std::uint64_t unlimited = ~std::uint64_t{0};

        // Units: a sixth or so in the game's archives, the rest 1 to 10 per add-on.
        std::uint64_t units = m_tier.units;
        std::uint64_t bigUnits = (units * 15 + 50) / 100;
        if (units > 10 * small.size()) bigUnits = std::max(bigUnits, units - 10 * small.size());
        if (small.empty()) bigUnits = units;
        bigUnits = std::min(bigUnits, units);
        std::uint64_t smallUnits = units - bigUnits;
        std::vector<double> weights;
        std::vector<std::uint64_t> caps;
        std::uint64_t floorEach = smallUnits >= small.size() ? 1 : 0;
        for (std::size_t i : small) {
            double u = m_random.unit();
            weights.push_back(archives[i].role == ArchiveRole::WeaponPack ? 0.3 : 1 + 9 * u * u);
            caps.push_back(10 - floorEach);
        }
        std::uint64_t overflow = 0;
        auto smallParts =
            apportion(smallUnits - floorEach * small.size(), weights, caps, m_random, &overflow);
        for (std::size_t k = 0; k < small.size(); ++k)
            quotas[small[k]].units = floorEach + smallParts[k];
        static constexpr double kBigShares[] = {0.4, 0.15, 0.2, 0.15, 0.1};
        weights.clear();
        caps.clear();
        for (std::size_t k = 0; k < big.size(); ++k) {
            weights.push_back(kBigShares[k % std::size(kBigShares)]);
            caps.push_back(unlimited);
        }
        auto bigParts = apportion(bigUnits + overflow, weights, caps, m_random, &overflow);
        for (std::size_t k = 0; k < big.size(); ++k) quotas[big[k]].units = bigParts[k];

        // Weapons: weapon packs take up to a quarter; the rest follows the units.
        std::uint64_t weapons = m_tier.weapons;
        std::uint64_t packWeapons = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (archives[i].role != ArchiveRole::WeaponPack) continue;
            std::uint64_t want = static_cast<std::uint64_t>(m_random.between(20, 240));
            want = std::min(want, weapons / 4 - std::min(weapons / 4, packWeapons));
            quotas[i].weapons = want;
            packWeapons += want;
        }
        quotas = followUnits(quotas, weapons - packWeapons, &Quota::weapons, 0.3, 1.4);

        // Build-menu entries: patches take up to a tenth; the rest follows the units.
        std::uint64_t entries = m_tier.menuEntries;
        std::uint64_t patchEntries = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (archives[i].role != ArchiveRole::MenuPatch) continue;
            std::uint64_t want = static_cast<std::uint64_t>(m_random.between(5, 40));
            want = std::min(want, entries / 10 - std::min(entries / 10, patchEntries));
            quotas[i].entries = want;
            patchEntries += want;
        }
        return followUnits(quotas, entries - patchEntries, &Quota::entries, 0.5, 1.0);
    }

    // Adds `total` to `field` of the archives that hold units, in proportion
    // to their units times a random factor in [low, low + spread).
    std::vector<Quota> followUnits(std::vector<Quota> quotas, std::uint64_t total,
                                   std::uint64_t Quota::*field, double low, double spread) {
        std::vector<double> weights;
        for (const Quota& quota : quotas)
            weights.push_back(static_cast<double>(quota.units) * (low + spread * m_random.unit()));
        if (std::accumulate(weights.begin(), weights.end(), 0.0) <= 0) {
            for (std::size_t i = 0; i < quotas.size(); ++i)
                weights[i] = isBig(m_plan.archives[i]) ? 1.0 : 0.0;
        }
        std::uint64_t overflow = 0;
        auto parts =
            apportion(total, weights, std::vector<std::uint64_t>(quotas.size(), ~std::uint64_t{0}),
                      m_random, &overflow);
        for (std::size_t i = 0; i < quotas.size(); ++i) quotas[i].*field += parts[i];
        return quotas;
    }

    void planArchive(std::size_t index, const Quota& quota);
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
        if (r >= 0.9) return upper(spelled);
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

void Planner::planArchive(std::size_t index, const Quota& quota) {
    m_current = index;
    PlannedArchive& archive = m_plan.archives[index];
    archive.seed = DeterministicRandom::Derive(m_seed, 1000 + index);
    if (isBig(archive)) {
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
    bool big = isBig(archive);
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
            d.side = d.side.substr(0, 1) + lower(d.side.substr(1));
        else if (spelling < 0.15)
            d.side = lower(d.side);
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
            if (m_random.chance(0.5)) copy.fileName = lower(copy.fileName);
            bool taken = std::any_of(archive.units.begin(), archive.units.end(), [&](auto& other) {
                return EqualsNoCase(other.fileName, copy.fileName);
            });
            if (!taken) archive.units.push_back(std::move(copy));
        }
    }
}

void Planner::planWeapons(PlannedArchive& archive, std::uint64_t fresh) {
    if (fresh == 0) return;
    bool big = isBig(archive);
    std::string stem = lower(stemOf(archive.fileName));
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
    auto extra = apportion(fresh - names.size(), weights,
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
                WeaponDefinition copy{m_random.chance(0.2) ? lower(known.name) : known.name,
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
            if (m_random.chance(0.1)) name = lower(name);
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
        if (m_random.chance(0.1)) entry.unit = lower(entry.unit);
        entries.push_back(entry);
        // An entry some other archive already made, word for word.
        if (!m_entries.empty() && m_random.chance(0.02))
            entries.push_back(m_random.pick(m_entries));
        m_entries.push_back(std::move(entry));
    }
    if (entries.empty()) return;

    std::string stem = lower(stemOf(archive.fileName));
    std::size_t perFile = isBig(archive) ? 300 : entries.size();
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
    std::string stem = stemOf(archive.fileName);
    for (const PlannedArchive& original : m_plan.archives) {
        if (&original == &archive || !EqualsNoCase(stemOf(original.fileName), stem)) continue;
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

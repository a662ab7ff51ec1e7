#include "tools/ArchiveLayout.h"

#include <algorithm>
#include <cctype>
#include <numeric>

#include "base/TextCase.h"

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

// Adds `total` to `field` of the archives that hold units, in proportion
// to their units times a random factor in [low, low + spread).
std::vector<ArchiveQuota> followUnits(std::vector<ArchiveQuota> quotas, std::uint64_t total,
                                      std::uint64_t ArchiveQuota::*field, double low, double spread,
                                      const std::vector<PlannedArchive>& archives,
                                      DeterministicRandom& random) {
    std::vector<double> weights;
    for (const ArchiveQuota& quota : quotas)
        weights.push_back(static_cast<double>(quota.units) * (low + spread * random.unit()));
    if (std::accumulate(weights.begin(), weights.end(), 0.0) <= 0) {
        for (std::size_t i = 0; i < quotas.size(); ++i)
            weights[i] = IsGameArchive(archives[i]) ? 1.0 : 0.0;
    }
    std::uint64_t overflow = 0;
    auto parts =
        Apportion(total, weights, std::vector<std::uint64_t>(quotas.size(), ~std::uint64_t{0}),
                  random, &overflow);
    for (std::size_t i = 0; i < quotas.size(); ++i) quotas[i].*field += parts[i];
    return quotas;
}

}  // namespace

std::string UpperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}
std::string LowerAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string FileStem(const std::string& fileName) {
    return fileName.substr(0, fileName.rfind('.'));
}

std::vector<std::uint64_t> Apportion(std::uint64_t total, const std::vector<double>& weights,
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

bool IsGameArchive(const PlannedArchive& archive) {
    return archive.role == ArchiveRole::Game || archive.role == ArchiveRole::Expansion;
}

std::vector<PlannedArchive> LayOutArchives(const InstallationTier& tier,
                                           DeterministicRandom& random, NameBook& names) {
    std::uint64_t n = tier.archives;
    std::uint64_t big = n >= 10 ? 5 : std::max<std::uint64_t>(std::min<std::uint64_t>(n, 1), n / 3);
    static constexpr std::pair<std::string_view, ArchiveRole> kBig[] = {
        {"basegame.hpi", ArchiveRole::Game},
        {"basegame2.hpi", ArchiveRole::Game},
        {"expansion1.ccx", ArchiveRole::Expansion},
        {"expansion2.ccx", ArchiveRole::Expansion},
        {"prototypes.xccx", ArchiveRole::Expansion}};
    std::vector<PlannedArchive> archives;
    for (std::uint64_t i = 0; i < big; ++i) {
        PlannedArchive archive;
        archive.fileName = std::string(kBig[i].first);
        archive.role = kBig[i].second;
        names.claim(FileStem(archive.fileName));
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
            std::string stem = role == ArchiveRole::MapPack ? "maps_" + names.newArchiveStem(random)
                                                            : names.newArchiveStem(random);
            double spelling = random.unit();
            if (spelling < 0.2)
                stem = UpperAscii(stem);
            else if (spelling < 0.25)
                stem[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(stem[0])));
            double disabled = role == ArchiveRole::MapPack ? 0.05 : 0.08;
            bool x = role != ArchiveRole::MenuPatch && random.chance(disabled);
            std::string extension = x ? ".xufo" : ".ufo";
            archive.fileName = stem + (spelling < 0.2 ? UpperAscii(extension) : extension);
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
            const PlannedArchive& original = archives[random.pick(candidates)];
            archive.role = ArchiveRole::OldVersion;
            archive.fileName = FileStem(original.fileName) + ".xufo";
            archives.push_back(std::move(archive));
        }
    }

    std::sort(archives.begin(), archives.end(),
              [](const PlannedArchive& a, const PlannedArchive& b) {
                  std::size_t ra = extensionRank(a.fileName), rb = extensionRank(b.fileName);
                  return ra != rb ? ra < rb : LessNoCase(a.fileName, b.fileName);
              });
    return archives;
}

std::vector<ArchiveQuota> ShareOut(const InstallationTier& tier,
                                   const std::vector<PlannedArchive>& archives,
                                   DeterministicRandom& random) {
    std::size_t n = archives.size();
    std::vector<ArchiveQuota> quotas(n);
    std::vector<std::size_t> big, small;
    for (std::size_t i = 0; i < n; ++i) {
        if (IsGameArchive(archives[i]))
            big.push_back(i);
        else if (archives[i].role == ArchiveRole::AddOn ||
                 archives[i].role == ArchiveRole::WeaponPack)
            small.push_back(i);
    }
    const std::uint64_t unlimited = ~std::uint64_t{0};

    // Units: a sixth or so in the game's archives, the rest 1 to 10 per add-on.
    std::uint64_t units = tier.units;
    std::uint64_t bigUnits = (units * 15 + 50) / 100;
    if (units > 10 * small.size()) bigUnits = std::max(bigUnits, units - 10 * small.size());
    if (small.empty()) bigUnits = units;
    bigUnits = std::min(bigUnits, units);
    std::uint64_t smallUnits = units - bigUnits;
    std::vector<double> weights;
    std::vector<std::uint64_t> caps;
    std::uint64_t floorEach = smallUnits >= small.size() ? 1 : 0;
    for (std::size_t i : small) {
        double u = random.unit();
        weights.push_back(archives[i].role == ArchiveRole::WeaponPack ? 0.3 : 1 + 9 * u * u);
        caps.push_back(10 - floorEach);
    }
    std::uint64_t overflow = 0;
    auto smallParts =
        Apportion(smallUnits - floorEach * small.size(), weights, caps, random, &overflow);
    for (std::size_t k = 0; k < small.size(); ++k)
        quotas[small[k]].units = floorEach + smallParts[k];
    static constexpr double kBigShares[] = {0.4, 0.15, 0.2, 0.15, 0.1};
    weights.clear();
    caps.clear();
    for (std::size_t k = 0; k < big.size(); ++k) {
        weights.push_back(kBigShares[k % std::size(kBigShares)]);
        caps.push_back(unlimited);
    }
    auto bigParts = Apportion(bigUnits + overflow, weights, caps, random, &overflow);
    for (std::size_t k = 0; k < big.size(); ++k) quotas[big[k]].units = bigParts[k];

    // Weapons: weapon packs take up to a quarter; the rest follows the units.
    std::uint64_t weapons = tier.weapons;
    std::uint64_t packWeapons = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (archives[i].role != ArchiveRole::WeaponPack) continue;
        std::uint64_t want = static_cast<std::uint64_t>(random.between(20, 240));
        want = std::min(want, weapons / 4 - std::min(weapons / 4, packWeapons));
        quotas[i].weapons = want;
        packWeapons += want;
    }
    quotas = followUnits(quotas, weapons - packWeapons, &ArchiveQuota::weapons, 0.3, 1.4, archives,
                         random);

    // Build-menu entries: patches take up to a tenth; the rest follows the units.
    std::uint64_t entries = tier.menuEntries;
    std::uint64_t patchEntries = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (archives[i].role != ArchiveRole::MenuPatch) continue;
        std::uint64_t want = static_cast<std::uint64_t>(random.between(5, 40));
        want = std::min(want, entries / 10 - std::min(entries / 10, patchEntries));
        quotas[i].entries = want;
        patchEntries += want;
    }
    return followUnits(quotas, entries - patchEntries, &ArchiveQuota::entries, 0.5, 1.0, archives,
                       random);
}

}  // namespace kloxmere::tools

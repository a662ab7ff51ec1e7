#include "bench/BenchInstallation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kloxmere::bench {

namespace fs = std::filesystem;

namespace {

bool matches(const tools::GeneratedInstallation& made, const tools::InstallationTier& tier,
             std::uint64_t seed) {
    return made.tier.name == tier.name && made.tier.archives == tier.archives &&
           made.tier.units == tier.units && made.tier.weapons == tier.weapons &&
           made.tier.menuEntries == tier.menuEntries && made.seed == seed &&
           made.generatorVersion == static_cast<std::uint64_t>(tools::kGeneratorVersion);
}

}  // namespace

BenchInstallation PrepareInstallation(const fs::path& dataDirectory,
                                      const tools::InstallationTier& tier, std::uint64_t seed) {
    BenchInstallation installation;
    installation.root = dataDirectory / (tier.name + "-seed" + std::to_string(seed));
    installation.taDirectory = installation.root / "ta";
    fs::path stamp = installation.root / "stamp.txt";

    std::ifstream in(stamp);
    if (in && fs::is_directory(installation.taDirectory)) {
        std::stringstream text;
        text << in.rdbuf();
        auto made = tools::ParseGeneratedInstallation(text.str());
        if (made && matches(*made, tier, seed)) {
            installation.made = *made;
            return installation;
        }
    }

    // The stamp is written last, so an interrupted run is generated again.
    fs::remove_all(installation.root);
    fs::create_directories(installation.root);
    auto start = std::chrono::steady_clock::now();
    installation.made = tools::GenerateInstallation(installation.taDirectory, tier, seed);
    installation.generationSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    installation.generated = true;
    std::ofstream(stamp) << tools::FormatGeneratedInstallation(installation.made);
    return installation;
}

bool ReadTierList(std::string_view names, std::vector<tools::InstallationTier>& tiers) {
    for (std::size_t start = 0; start <= names.size();) {
        const std::size_t comma = std::min(names.find(',', start), names.size());
        const auto tier = tools::TierNamed(names.substr(start, comma - start));
        if (!tier) return false;
        tiers.push_back(*tier);
        start = comma + 1;
    }
    return true;
}

fs::path FreshDirectory(const BenchInstallation& installation, const char* name) {
    fs::path directory = installation.root / name;
    fs::remove_all(directory);
    fs::create_directories(directory);
    return directory;
}

bool ReadBenchArguments(int argc, char** argv, const char* countOption, BenchArguments& arguments) {
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--tier")) {
            auto named = tools::TierNamed(argv[i + 1]);
            if (!named) return false;
            arguments.tier = *named;
        } else if (!std::strcmp(argv[i], countOption)) {
            arguments.count = std::max(1, std::atoi(argv[i + 1]));
        } else if (!std::strcmp(argv[i], "--seed")) {
            arguments.seed = std::strtoull(argv[i + 1], nullptr, 10);
        } else if (!std::strcmp(argv[i], "--data")) {
            arguments.data = argv[i + 1];
        } else {
            std::fprintf(stderr, "usage: %s [--tier M|L|XL] [%s N] [--seed N] [--data DIR]\n",
                         argv[0], countOption);
            return false;
        }
    }
    return true;
}

}  // namespace kloxmere::bench

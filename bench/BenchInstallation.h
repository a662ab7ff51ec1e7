#pragma once

// The generated installations the scan benchmark measures, kept between runs
// under the build directory: each tier and seed in its own directory, with a
// stamp file that records what was generated (tier, seed, generator version
// and the summary). Data whose stamp does not match is generated afresh.

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "tools/InstallationGenerator.h"

namespace kloxmere::bench {

struct BenchInstallation {
    std::filesystem::path root;         // <data>/<tier>-seed<N>
    std::filesystem::path taDirectory;  // root/ta
    tools::GeneratedInstallation made;
    bool generated = false;  // written by this run (else reused)
    double generationSeconds = 0;
};

BenchInstallation PrepareInstallation(const std::filesystem::path& dataDirectory,
                                      const tools::InstallationTier& tier, std::uint64_t seed);

// What the window benchmarks take from their command line: --tier, --seed,
// --data, and one count of their own (`countOption`, at least 1).
struct BenchArguments {
    tools::InstallationTier tier = tools::TierXL();
    std::uint64_t seed = 1;
    std::filesystem::path data;
    int count = 1;
};

// Reads `argv` into `arguments` (whose fields hold the defaults); prints the
// usage and returns false on anything else.
bool ReadBenchArguments(int argc, char** argv, const char* countOption, BenchArguments& arguments);

// Adds the tiers named in `names`, separated by commas ("L,XL"), to `tiers`;
// false when one is not a tier.
bool ReadTierList(std::string_view names, std::vector<tools::InstallationTier>& tiers);

// An empty directory `name` under the installation's root, emptied when it exists.
std::filesystem::path FreshDirectory(const BenchInstallation& installation, const char* name);

}  // namespace kloxmere::bench

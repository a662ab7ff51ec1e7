#pragma once

// The generated installations the scan benchmark measures, kept between runs
// under the build directory: each tier and seed in its own directory, with a
// stamp file that records what was generated (tier, seed, generator version
// and the summary). Data whose stamp does not match is generated afresh.

#include <filesystem>

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

// An empty directory `name` under the installation's root, emptied when it exists.
std::filesystem::path FreshDirectory(const BenchInstallation& installation, const char* name);

}  // namespace kloxmere::bench

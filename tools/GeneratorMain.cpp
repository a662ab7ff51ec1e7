// kloxmere-gen: writes an invented TA installation of a chosen size, for
// trying the program and the benchmarks on collections of thousands of archives.
//
//   kloxmere-gen DIR --tier M|L|XL [--seed N] [--threads N]

#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "base/FileSystem.h"
#include "tools/InstallationGenerator.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: kloxmere-gen DIR --tier M|L|XL [--seed N] [--threads N]\n"
                 "Writes an invented TA installation into DIR, which must be new or empty.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kloxmere;
    std::string directory;
    std::optional<tools::InstallationTier> tier;
    std::uint64_t seed = 1, threads = 0;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--tier" && hasValue) {
            tier = tools::TierNamed(argv[++i]);
            if (!tier) {
                std::fprintf(stderr, "kloxmere-gen: unknown tier %s (M, L or XL)\n", argv[i]);
                return 2;
            }
        } else if (arg == "--seed" && hasValue) {
            if (!tools::ParseNumber(argv[++i], seed)) return usage();
        } else if (arg == "--threads" && hasValue) {
            if (!tools::ParseNumber(argv[++i], threads)) return usage();
        } else if (!arg.starts_with("-") && directory.empty()) {
            directory = std::string(arg);
        } else {
            return usage();
        }
    }
    if (directory.empty() || !tier) return usage();

    try {
        auto start = std::chrono::steady_clock::now();
        tools::GeneratedInstallation made =
            tools::GenerateInstallation(PathFromUtf8(directory), *tier, seed,
                                        tools::GeneratorOptions{static_cast<unsigned>(threads)});
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s", tools::FormatGeneratedInstallation(made).c_str());
        std::printf("written in %.1f s: %.1f MB of archives holding %.1f MB\n", seconds,
                    static_cast<double>(made.archiveBytes) / 1e6,
                    static_cast<double>(made.contentBytes) / 1e6);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kloxmere-gen: %s\n", error.what());
        return 1;
    }
    return 0;
}

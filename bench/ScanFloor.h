#pragma once

// The least work any scan of an installation must do, to compare the scan
// against: list the directory, open every archive (header and directory
// block) and decompress exactly its unit, weapon and download files
// (units\*.fbi, weapons\*.tdf, download\*.tdf), with no parsing and no
// catalogue. One thread, like the scan it is compared with.

#include <cstdint>
#include <filesystem>

namespace kloxmere::bench {

struct FloorResult {
    std::uint64_t archives = 0;
    std::uint64_t files = 0;              // definition files decompressed
    std::uint64_t decompressedBytes = 0;  // their text
    std::uint64_t bytesRead = 0;          // from the archives, as HpiBytesRead counts
};

FloorResult ReadDefinitionFloor(const std::filesystem::path& taDirectory);

}  // namespace kloxmere::bench

#pragma once

// The scan's way into an archive: its directory is read once, the listed
// files are kept with the ids that read them, and they are read by id in the
// order of their data, several at once, rather than looked up by name and
// read one by one as extracting a named file does.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "units/clsUnitArchive.h"

namespace kloxmere {

class HpiArchive;
class clsHPI;

struct ScanArchive {
    std::shared_ptr<HpiArchive> archive;  // null when the archive did not open
    std::vector<std::uint32_t> fileIds;   // by Listing position
};

// Opens `path` into `hpi` and lists `directories` there, as clsHPI::LoadFile
// and CreateListing do (an archive that does not open leaves Handle 0 and
// nothing listed); the handle shares the archive the result reads from.
ScanArchive OpenForScan(clsHPI& hpi, const std::string& path,
                        const std::vector<std::string>& directories);

// One listed file to read: its Listing position, and whether it is parsed
// (false: only digested).
struct ScanFile {
    std::size_t position;
    bool parse;
};

// Sorts `files` by where their data lies in the archive.
void OrderByData(const ScanArchive& archive, std::span<ScanFile> files);

// Reads `files` of `hpi`'s Listing, parsing and digesting them into `decoded`
// and `fileHashes` (by Listing position) as DecodeListedFile and
// HashListedFile would.
void ReadScanFiles(const ScanArchive& archive, clsHPI& hpi, std::span<const ScanFile> files,
                   std::vector<std::optional<DecodedFile>>& decoded,
                   std::vector<std::uint64_t>& fileHashes);

}  // namespace kloxmere

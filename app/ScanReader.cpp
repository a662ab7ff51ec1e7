#include "app/ScanReader.h"

#include <algorithm>
#include <exception>

#include "archive/HpiArchive.h"
#include "archive/clsHPI.h"
#include "archive/modHPIUtil.h"
#include "base/FileSystem.h"
#include "units/DefinitionDigest.h"

namespace kloxmere {

ScanArchive OpenForScan(clsHPI& hpi, const std::string& path,
                        const std::vector<std::string>& directories) {
    hpi.Filename = path;
    hpi.Listing.clear();
    ScanArchive scan;
    try {
        scan.archive = HpiArchive::open(PathFromUtf8(path));
    } catch (const std::exception&) {
        // Not an archive that opens: nothing is listed, as with LoadFile.
        return scan;
    }
    hpi.Handle = HPIAdopt(scan.archive);
    for (const std::string& directory : directories) {
        for (const HpiListedFile& file : scan.archive->filesIn(directory)) {
            // Names without a dot are not definition files, nor listed.
            if (file.entry->name.find('.') == std::string::npos) continue;
            hpi.Listing.push_back(directory + "\\" + file.entry->name);
            scan.fileIds.push_back(file.id);
        }
    }
    return scan;
}

void OrderByData(const ScanArchive& archive, std::span<ScanFile> files) {
    std::stable_sort(files.begin(), files.end(), [&](const ScanFile& a, const ScanFile& b) {
        return archive.archive->dataOffset(archive.fileIds[a.position]) <
               archive.archive->dataOffset(archive.fileIds[b.position]);
    });
}

void ReadScanFiles(const ScanArchive& archive, clsHPI& hpi, std::span<const ScanFile> files,
                   std::vector<std::optional<DecodedFile>>& decoded,
                   std::vector<std::uint64_t>& fileHashes) {
    thread_local std::vector<std::uint32_t> ids;
    ids.clear();
    for (const ScanFile& file : files) ids.push_back(archive.fileIds.at(file.position));
    archive.archive->readFiles(
        ids, [&](std::size_t i, std::optional<std::span<const std::uint8_t>> bytes) {
            const ScanFile& file = files[i];
            std::uint64_t& hash = fileHashes[file.position];
            if (!file.parse) {
                hash = HashDefinitionFile(bytes);
                return;
            }
            auto kind = ClassifyListedFile(hpi.Listing[file.position]);
            decoded[file.position] = DecodeDefinitionBytes(bytes, hpi, *kind, &hash);
        });
}

}  // namespace kloxmere

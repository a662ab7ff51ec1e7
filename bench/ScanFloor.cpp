#include "bench/ScanFloor.h"

#include <array>
#include <string>
#include <string_view>

#include "archive/HpiArchive.h"
#include "base/TextCase.h"

namespace kloxmere::bench {

namespace {

bool isArchive(const std::string& name) {
    static constexpr std::array<std::string_view, 6> kExtensions = {".hpi",  ".xhpi", ".ccx",
                                                                    ".xccx", ".ufo",  ".xufo"};
    for (std::string_view extension : kExtensions) {
        if (EndsWithNoCase(name, extension)) return true;
    }
    return false;
}

}  // namespace

FloorResult ReadDefinitionFloor(const std::filesystem::path& taDirectory) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kDefinitions = {
        {{"units", ".fbi"}, {"weapons", ".tdf"}, {"download", ".tdf"}}};
    FloorResult result;
    std::uint64_t before = HpiBytesRead();
    for (const auto& entry : std::filesystem::directory_iterator(taDirectory)) {
        if (!isArchive(entry.path().filename().string())) continue;
        std::unique_ptr<HpiArchive> archive;
        try {
            archive = HpiArchive::open(entry.path());
        } catch (const HpiError&) {
            continue;  // the scan passes over such an archive too
        }
        ++result.archives;
        for (const auto& [directory, extension] : kDefinitions) {
            const std::vector<HpiDirEntry>* entries = archive->listDirectory(directory);
            if (!entries) continue;
            for (const HpiDirEntry& file : *entries) {
                if (file.isDirectory || !EndsWithNoCase(file.name, extension)) continue;
                std::string path = std::string(directory) + "\\" + file.name;
                result.decompressedBytes += archive->extract(path).size();
                ++result.files;
            }
        }
    }
    result.bytesRead = HpiBytesRead() - before;
    return result;
}

}  // namespace kloxmere::bench

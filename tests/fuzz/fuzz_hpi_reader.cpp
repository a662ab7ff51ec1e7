// Feeds arbitrary bytes to the archive reader: open, list every directory
// and extract every file. Damage must end in HpiError; anything else (a
// crash, another exception, a file of the wrong size) is a finding.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "archive/HpiArchive.h"

namespace {

void listTree(const kloxmere::HpiArchive& archive, const std::string& dir) {
    const auto* entries = archive.listDirectory(dir);
    if (!entries) std::abort();  // every listed directory must be found again
    for (const auto& entry : *entries) {
        if (entry.isDirectory) {
            listTree(archive, dir.empty() ? entry.name : dir + "\\" + entry.name);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<kloxmere::HpiArchive> archive;
    try {
        archive = kloxmere::HpiArchive::fromMemory(std::vector<std::uint8_t>(data, data + size),
                                                   "fuzz.hpi");
    } catch (const kloxmere::HpiError&) {
        return 0;
    }
    listTree(*archive, "");
    for (const kloxmere::HpiFileInfo& file : archive->listFiles()) {
        if (!archive->findFile(file.path)) std::abort();
        try {
            if (archive->extract(file.path).size() != file.size) std::abort();
        } catch (const kloxmere::HpiError&) {
        }
    }
    return 0;
}

// The programs' heap set-up, in an executable of its own: it changes how the
// whole process allocates.

#include "base/ProgramHeap.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Region {
    std::uintptr_t begin = 0, end = 0;
    bool hugePages = false;  // marked for transparent huge pages ("hg")
};

std::vector<Region> heapRegions() {
    std::ifstream maps("/proc/self/smaps");
    std::vector<Region> regions;
    std::string line;
    bool inHeap = false;
    while (std::getline(maps, line)) {
        if (line.find("[heap]") != std::string::npos) {
            Region region;
            char dash;
            std::istringstream(line) >> std::hex >> region.begin >> dash >> region.end;
            regions.push_back(region);
            inHeap = true;
        } else if (inHeap && line.rfind("VmFlags:", 0) == 0) {
            regions.back().hugePages = line.find(" hg") != std::string::npos;
            inHeap = false;
        }
    }
    return regions;
}

bool hugePagesOffered() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(setting, text);
    return !text.empty() && text.find("[never]") == std::string::npos;
}

}  // namespace

TEST(ProgramHeap, TheRecordsOfAScanLandInOneReservedStretchMarkedForHugePages) {
    kloxmere::PrepareProgramHeap();
    kloxmere::PrepareProgramHeap();  // a second call changes nothing that matters
    auto top = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // 30 MB of records, as a large catalogue allocates them.
    std::vector<void*> blocks;
    for (int i = 0; i < 300000; ++i) {
        blocks.push_back(std::malloc(100));
        static_cast<char*>(blocks.back())[99] = 1;
    }
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(sbrk(0)), top)
        << "the heap grew past its reservation";
    std::size_t inMarked = 0;
    for (const Region& region : heapRegions()) {
        if (!region.hugePages) continue;
        for (void* block : blocks) {
            auto at = reinterpret_cast<std::uintptr_t>(block);
            if (at >= region.begin && at < region.end) ++inMarked;
        }
    }
    // The first blocks may fill what the heap held before, and the stretch
    // up to the first 2 MB boundary: the rest lies in the marked stretch.
    if (hugePagesOffered()) {
        EXPECT_GT(inMarked, blocks.size() * 3 / 4);
    }
    for (void* block : blocks) std::free(block);
}

// The scan that decodes archives on several threads must build exactly the
// catalogue of the one-thread scan: same order, keys, winners and conflicts.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "tests/support/CatalogueDump.h"
#include "tests/support/Installation.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;

namespace {

// An installation where names, file paths and buttons collide often: shared
// unit and weapon files, enabled and disabled twins, damaged archives, archives
// without definitions, and a fast-load list covering one archive.
void writeCrowdedInstallation(const TempDir& ta, unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* extensions[] = {".hpi", ".xhpi", ".ccx", ".xccx", ".ufo", ".xufo"};
    // One archive big enough to be decoded in several batches.
    ArchiveFiles giant;
    for (int u = 0; u < 150; ++u) {
        std::string unit = "G" + std::to_string(u);
        giant.push_back({"units\\" + unit + ".fbi", UnitText(unit, "ARM", "BIG", {"W1"})});
    }
    WriteArchive(ta.file("giant.hpi"), giant);
    for (int a = 0; a < 70; ++a) {
        std::string name = "pack" + std::to_string(pick(40)) + extensions[pick(6)];
        if (ta.exists(name)) continue;
        if (pick(12) == 0) {
            ta.write(name, "damaged beyond use");
            continue;
        }
        ArchiveFiles files;
        std::set<std::string> names;
        int units = 1 + pick(6);
        for (int u = 0; u < units; ++u) {
            std::string unit = "U" + std::to_string(pick(60));
            std::string weapon = "W" + std::to_string(pick(50));
            if (!names.insert(unit).second) continue;
            files.push_back({"units\\" + unit + ".fbi",
                             UnitText(unit, pick(3) == 0 ? "core" : "ARM",
                                      "C" + std::to_string(pick(4)), {weapon, "W7"})});
        }
        if (pick(4) != 0) {
            std::vector<std::pair<std::string, int>> weapons;
            for (int w = pick(8); w >= 0; --w) {
                weapons.push_back({"W" + std::to_string(pick(50)), pick(30)});
            }
            files.push_back(
                {"weapons\\set" + std::to_string(pick(10)) + ".tdf", WeaponText(weapons)});
        }
        files.push_back({"download\\d" + std::to_string(a) + ".tdf",
                         DownloadText("U" + std::to_string(pick(5)), std::to_string(pick(2)),
                                      std::to_string(pick(3)), "U" + std::to_string(pick(60)))});
        if (pick(10) == 0) files = {{"textures\\t.gaf", "no definitions"}};
        WriteArchive(ta.file(name), files);
    }
}

std::string scan(const TempDir& ta, const TempDir& home, unsigned threads,
                 std::vector<std::string>* statuses) {
    RecordingServices services;
    Session session(services, home.str(), home.str());
    session.TADirectory = ta.str();
    ScanInstallation(session, ScanOptions{threads, nullptr});
    if (statuses) *statuses = services.statuses;
    return DumpCatalogue(session.catalogue);
}

}  // namespace

TEST(ParallelScan, BuildsTheSameCatalogueAsTheOneThreadScan) {
    for (unsigned seed : {1u, 2u, 3u}) {
        TempDir ta, home;
        writeCrowdedInstallation(ta, seed);
        std::vector<std::string> oneThreadStatuses, parallelStatuses;
        std::string oneThread = scan(ta, home, 1, &oneThreadStatuses);
        EXPECT_NE(oneThread.find("menu conflict"), std::string::npos);
        for (unsigned threads : {2u, 4u}) {
            EXPECT_EQ(scan(ta, home, threads, &parallelStatuses), oneThread) << seed;
            EXPECT_EQ(parallelStatuses, oneThreadStatuses) << seed;
        }
    }
}

TEST(ParallelScan, ListsCoverTheirArchivesInBothScans) {
    TempDir ta, home, scratch;
    writeCrowdedInstallation(ta, 7);
    {
        RecordingServices services;
        Session first(services, scratch.str(), scratch.str());
        first.TADirectory = ta.str();
        ScanInstallation(first, ScanOptions{1, nullptr});
        const auto& archives = first.catalogue.ArchiveList;
        ASSERT_GE(archives.Count(), 5u);
        ASSERT_TRUE(archives.Item(2)->SaveList(home.file("a.udf"), services));
        ASSERT_TRUE(archives.Item(5)->SaveList(home.file("b.udf"), services));
    }
    // Lists the scan reads on several threads but must still judge in order:
    // a damaged one (deleted), one whose archive is gone (kept, unused) and a
    // second copy of a list (used as well, its names already taken).
    auto writeOddLists = [&] {
        home.write("c-damaged.udf", "pack1.hpi");
        std::vector<std::uint8_t> gone = {'g', 'o', 'n', 'e', '.', 'h', 'p', 'i', 0};
        gone.resize(gone.size() + 12, 0);  // no units, weapons or menu entries
        home.write("d-gone.udf", gone);
        // Removed first: copy_file's overwrite option fails on Windows' runtime.
        std::filesystem::remove(home.path() / "e-copy.udf");
        ASSERT_TRUE(std::filesystem::copy_file(home.path() / "a.udf", home.path() / "e-copy.udf"));
    };
    writeOddLists();
    std::string oneThread = scan(ta, home, 1, nullptr);
    EXPECT_FALSE(home.exists("c-damaged.udf"));
    writeOddLists();
    EXPECT_EQ(scan(ta, home, 3, nullptr), oneThread);
    EXPECT_FALSE(home.exists("c-damaged.udf"));
    EXPECT_TRUE(home.exists("d-gone.udf"));
}

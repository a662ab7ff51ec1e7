// The warm start: what a scan takes from its cache and what it reads again,
// and that the catalogue comes out as a full read of the same installation
// makes it, whatever changed between the two starts.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/ScanCache.h"
#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "archive/HpiWriter.h"
#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "tests/support/CatalogueDump.h"
#include "tests/support/Installation.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "tools/InstallationGenerator.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"

using namespace kloxmere;
using namespace kloxmere::test;

namespace {

namespace fs = std::filesystem;

// Archive times an hour back: old enough for the cache to trust them.
void ageFile(const fs::path& path, std::chrono::minutes back = std::chrono::minutes(60)) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - back);
}

void ageAll(const fs::path& directory) {
    for (const auto& entry : fs::directory_iterator(directory)) ageFile(entry.path());
}

struct ScanResult {
    std::string dump;
    ScanCacheCounts counts;
    std::size_t messages = 0;
};

// One scan of `ta` with `home` as the user data directory.
ScanResult scan(const fs::path& ta, const TempDir& home, bool useCache = true,
                unsigned threads = 1) {
    RecordingServices services;
    Session session(services, home.str(), home.str());
    session.TADirectory = Utf8FromPath(ta) + "/";
    ScanResult result;
    ScanInstallation(session, ScanOptions{threads, nullptr, useCache, &result.counts});
    result.dump = DumpCatalogue(session.catalogue);
    result.messages = services.messages.size();
    return result;
}

// The catalogue of a full read, with a user data directory of its own.
std::string coldDump(const fs::path& ta, unsigned threads = 1) {
    TempDir home;
    return scan(ta, home, false, threads).dump;
}

fs::path cacheFile(const TempDir& home) {
    return home.path() / ScanCache::kFileName;
}

std::size_t archiveCount(const fs::path& ta) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(ta), fs::directory_iterator()));
}

// A generated installation with its archives aged, new for each test.
class WarmStart : public ::testing::Test {
  protected:
    void SetUp() override {
        tools::GenerateInstallation(ta(), tools::InstallationTier{"warm", 24, 70, 80, 100}, 5);
        ageAll(ta());
        archives = archiveCount(ta());
    }
    fs::path ta() const { return dir.path() / "ta"; }
    fs::path firstAddOn() const {
        for (const auto& entry : fs::directory_iterator(ta())) {
            if (entry.path().extension() == ".ufo") return entry.path();
        }
        throw std::runtime_error("the generator wrote no add-on");
    }

    TempDir dir;
    TempDir home;
    std::size_t archives = 0;
};

}  // namespace

TEST_F(WarmStart, ASecondStartReadsNothingAndCataloguesTheSame) {
    for (unsigned threads : {1u, 2u}) {
        TempDir own;
        std::string cold = coldDump(ta(), threads);
        EXPECT_FALSE(fs::exists(cacheFile(own)));

        ScanResult first = scan(ta(), own, true, threads);
        EXPECT_EQ(first.counts.read, archives);
        EXPECT_EQ(first.counts.fromCache, 0u);
        ASSERT_TRUE(fs::exists(cacheFile(own)));
        EXPECT_EQ(first.dump, cold);

        ScanResult second = scan(ta(), own, true, threads);
        EXPECT_EQ(second.counts.fromCache, archives) << threads << " threads";
        EXPECT_EQ(second.counts.read, 0u);
        EXPECT_EQ(second.dump, cold) << threads << " threads";
        EXPECT_EQ(second.messages, 0u);
    }
    // A cache written by the one-thread scan serves the parallel one alike.
    scan(ta(), home, true, 1);
    ScanResult parallel = scan(ta(), home, true, 2);
    EXPECT_EQ(parallel.counts.fromCache, archives);
    EXPECT_EQ(parallel.dump, coldDump(ta()));
}

TEST_F(WarmStart, EachKindOfChangeIsReadAgainAndCataloguesAsAFullRead) {
    scan(ta(), home);
    fs::path addOn = firstAddOn();

    // Switched to its x form: the same bytes under the other name.
    fs::path disabled = addOn;
    disabled.replace_extension(".xufo");
    fs::rename(addOn, disabled);
    ScanResult switched = scan(ta(), home);
    EXPECT_EQ(switched.counts.read, 0u);
    EXPECT_EQ(switched.dump, coldDump(ta()));

    // Touched: a new time, the same bytes.
    ageFile(disabled, std::chrono::minutes(30));
    ScanResult touched = scan(ta(), home);
    EXPECT_EQ(touched.counts.read, 1u);
    EXPECT_EQ(touched.dump, coldDump(ta()));

    // Added: an archive that loads last and brings a unit, a weapon and a menu entry.
    fs::path added = ta() / "zzz-late.ufo";
    WriteArchive(Utf8FromPath(added),
                 {{"units\\LATEUNIT.FBI", UnitText("LATEUNIT", "ARM", "TANK", {"LATEGUN"})},
                  {"weapons\\LATE.TDF", WeaponText({{"LATEGUN", 201}})},
                  {"download\\LATE.TDF", DownloadText("LATEUNIT", "1", "2", "LATEUNIT")}});
    ageFile(added);
    ScanResult withAdded = scan(ta(), home);
    EXPECT_EQ(withAdded.counts.read, 1u);
    EXPECT_EQ(withAdded.counts.fromCache, archives);
    EXPECT_EQ(withAdded.dump, coldDump(ta()));
    EXPECT_NE(withAdded.dump.find("LATEUNIT"), std::string::npos);

    // Removed: the rest is still taken from the cache, the catalogue loses it.
    fs::remove(added);
    ScanResult withRemoved = scan(ta(), home);
    EXPECT_EQ(withRemoved.counts.read, 0u);
    EXPECT_EQ(withRemoved.dump, coldDump(ta()));
    EXPECT_EQ(withRemoved.dump.find("LATEUNIT"), std::string::npos);
}

TEST_F(WarmStart, AFileRemovedBeforeItsCopyIsReadFromTheCopysRecord) {
    // Generated add-ons repeat earlier paths: the later copies were hidden
    // when the cache was written and must serve once the first copy goes.
    scan(ta(), home);
    for (const auto& entry : fs::directory_iterator(ta())) {
        if (entry.path().extension() == ".hpi") fs::remove(entry.path());
    }
    ScanResult warm = scan(ta(), home);
    EXPECT_EQ(warm.counts.read, 0u);
    EXPECT_EQ(warm.dump, coldDump(ta()));
    EXPECT_EQ(scan(ta(), home, true, 2).dump, warm.dump);
}

TEST(ScanCacheKeys, AnArchiveReplacedByAnotherOfTheSameSizeIsReadAgain) {
    TempDir dir, home;
    fs::path ta = dir.path() / "ta";
    fs::create_directories(ta);
    // Stored, not compressed: the size then depends on the lengths alone.
    auto write = [&](const std::string& name, const std::string& unit) {
        HpiWriter writer;
        std::string text = UnitText(unit);
        writer.addFile("units\\" + unit + ".FBI",
                       std::vector<std::uint8_t>(text.begin(), text.end()),
                       HpiFileEncoding{HpiCompression::Stored});
        writer.write(ta / name);
    };
    write("aa.ufo", "ALPHAUNIT");
    write("bb.ufo", "BRAVOUNIT");
    write("replacement", "ALPHAINUT");
    ASSERT_EQ(fs::file_size(ta / "aa.ufo"), fs::file_size(ta / "replacement"));
    auto time = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const char* name : {"aa.ufo", "bb.ufo", "replacement"})
        fs::last_write_time(ta / name, time);

    scan(ta, home);
    // The same name, size and time: only the bytes (and the file) differ.
    fs::rename(ta / "replacement", ta / "aa.ufo");
    ScanResult warm = scan(ta, home);
    EXPECT_EQ(warm.counts.read, 1u);
    EXPECT_EQ(warm.dump, coldDump(ta));
    EXPECT_NE(warm.dump.find("ALPHAINUT"), std::string::npos);
}

TEST(ScanCacheKeys, AnArchiveExaminedInItsDirectoryHasItsIdentityByPath) {
    TempDir dir, other;
    fs::create_directories(dir.path() / "ta");
    const std::string ta = Utf8FromPath(dir.path() / "ta") + NativeSeparator();
    WriteArchive(ta + "Rev31.XUFO", {{"units\\A.FBI", UnitText("A")}});
    WriteArchive(other.str() + "elsewhere.ufo", {{"units\\B.FBI", UnitText("B")}});
    const ArchiveDirectory directory(ta);
    for (const std::string& path : {ta + "Rev31.XUFO", other.str() + "elsewhere.ufo"}) {
        auto identity = directory.identify(path);
        ASSERT_TRUE(identity) << path;
        EXPECT_EQ(*identity, *IdentifyArchive(path)) << path;
        EXPECT_GT(identity->size, 0u);
    }
    EXPECT_EQ(directory.identify(ta + "Rev31.XUFO")->name, "Rev31.UFO");
    EXPECT_FALSE(directory.identify(ta + "gone.ufo"));
    EXPECT_FALSE(ArchiveDirectory(ta + "missing" + NativeSeparator()).identify(ta + "gone.ufo"));
}

TEST(ScanCacheKeys, AnArchiveAsNewAsTheScanIsNotTrusted) {
    TempDir dir, home;
    fs::path ta = dir.path() / "ta";
    fs::create_directories(ta);
    WriteArchive(Utf8FromPath(ta / "fresh.ufo"), {{"units\\FRESH.FBI", UnitText("FRESH")}});
    scan(ta, home);
    // Rewritten within the file clock's tick, it could keep size and time.
    ScanResult again = scan(ta, home);
    EXPECT_EQ(again.counts.read, 1u);
    EXPECT_EQ(again.counts.fromCache, 0u);
}

TEST_F(WarmStart, ADamagedOrForeignCacheIsIgnoredAndWrittenAnew) {
    scan(ta(), home);
    fs::path path = cacheFile(home);
    std::vector<std::uint8_t> good = ReadFileBytes(path);
    std::string cold = coldDump(ta());

    auto withBytes = [&](std::vector<std::uint8_t> bytes) {
        WriteFileAtomically(path, bytes);
        ScanResult result = scan(ta(), home);
        EXPECT_EQ(result.counts.read, archives);
        EXPECT_EQ(result.dump, cold);
        // Rewritten whole: the next start takes everything from it.
        EXPECT_EQ(scan(ta(), home).counts.fromCache, archives);
    };
    std::vector<std::uint8_t> flipped = good;
    flipped[flipped.size() / 2] ^= 0x20;
    withBytes(flipped);
    withBytes(std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 3));
    std::vector<std::uint8_t> otherVersion = good;
    otherVersion[8] = static_cast<std::uint8_t>(ScanCache::kFormatVersion + 1);
    withBytes(otherVersion);
    withBytes({});
}

TEST_F(WarmStart, WithoutTheCacheNothingIsReadFromItOrWritten) {
    scan(ta(), home, false);
    EXPECT_FALSE(fs::exists(cacheFile(home)));
    scan(ta(), home);
    ScanResult off = scan(ta(), home, false);
    EXPECT_EQ(off.counts.fromCache, 0u);
    EXPECT_EQ(off.counts.read, 0u);  // not counted: the cache is not asked
}

TEST_F(WarmStart, AFastLoadListWinsOverTheCacheForItsArchive) {
    scan(ta(), home);
    // A list standing for an add-on, saved from a different archive's records
    // so that taking the archive from the cache would show.
    RecordingServices services;
    Session listSource(services, home.str(), home.str());
    listSource.TADirectory = Utf8FromPath(ta()) + "/";
    ScanInstallation(listSource, ScanOptions{1, nullptr, false});
    fs::path addOn = firstAddOn();
    const clsUnitArchive* covered = nullptr;
    for (const clsUnitArchive* archive : listSource.catalogue.ArchiveList) {
        if (FileTitle(archive->HPI->Filename) == Utf8FromPath(addOn.filename())) covered = archive;
    }
    ASSERT_TRUE(covered);
    fs::path list = home.path() / addOn.filename();
    list += ".udf";
    ASSERT_TRUE(covered->SaveList(Utf8FromPath(list), services));

    ScanResult listed = scan(ta(), home);
    EXPECT_EQ(listed.counts.fromCache, archives - 1);
    EXPECT_EQ(listed.counts.read, 0u);
    TempDir coldHome;
    fs::copy_file(list, coldHome.path() / list.filename());
    EXPECT_EQ(listed.dump, scan(ta(), coldHome, false).dump);
    // The covered archive's entry is kept for a start without the list.
    fs::remove(list);
    EXPECT_EQ(scan(ta(), home).counts.fromCache, archives);
}

TEST_F(WarmStart, AListedArchiveTakesItsDigestFromTheCache) {
    RecordingServices services;
    Session full(services, home.str(), home.str());
    full.TADirectory = Utf8FromPath(ta()) + "/";
    ScanInstallation(full, ScanOptions{1, nullptr});
    const clsUnitArchive* first = full.catalogue.ArchiveList.Item(1);
    std::string title = Utf8FromPath(PathFromUtf8(first->HPI->Filename).filename());
    ASSERT_TRUE(first->SaveList(home.file(title + ".udf"), services));

    Session listed(services, home.str(), home.str());
    listed.TADirectory = full.TADirectory;
    ScanInstallation(listed, ScanOptions{1, nullptr});
    const clsUnitArchive* fromList = listed.catalogue.ArchiveList.Item(1);
    ASSERT_EQ(fromList->HPI->Filename, first->HPI->Filename);
    // Known without opening the archive again, and as a full read digests it.
    EXPECT_TRUE(fromList->DefinitionsDigested);
    EXPECT_EQ(fromList->DefinitionsHash, first->DefinitionsHash);
}

TEST_F(WarmStart, ScansWritingTheCacheAtOnceEachLeaveAWholeFile) {
    std::string cold = coldDump(ta());
    std::vector<std::thread> scans;
    std::vector<ScanResult> results(4);
    for (std::size_t i = 0; i < results.size(); ++i)
        scans.emplace_back([&, i] { results[i] = scan(ta(), home, true, 1 + i % 2); });
    for (auto& thread : scans) thread.join();
    for (const ScanResult& result : results) EXPECT_EQ(result.dump, cold);
    ScanResult after = scan(ta(), home);
    EXPECT_EQ(after.counts.fromCache, archives);
    EXPECT_EQ(after.dump, cold);
    // No temporary file is left behind.
    for (const auto& entry : fs::directory_iterator(home.path()))
        EXPECT_EQ(Utf8FromPath(entry.path().filename()).find(".tmp"), std::string::npos);
}

TEST(ScanCacheWriting, EntriesReadBackWhereverTheNewOnesFallAndAnUnfinishedFileGoes) {
    TempDir home;
    const std::int64_t started = 1'000'000'000'000'000'000;
    auto identity = [](const std::string& name) {
        return ArchiveIdentity{name, name.size(), 1'000, 1, name.size() * 7};
    };
    auto yield = [](std::uint8_t fill, std::size_t size) {
        return std::vector<std::uint8_t>(size, fill);
    };
    using Yields = std::vector<std::vector<std::uint8_t>>;
    auto entries = [&](const std::vector<std::string>& names) {
        ScanCache cache = ScanCache::Load(home.str());
        Yields found;
        for (const auto& name : names) {
            auto bytes = cache.find(identity(name));
            found.push_back(bytes ? std::vector<std::uint8_t>(bytes->begin(), bytes->end())
                                  : std::vector<std::uint8_t>{});
        }
        EXPECT_EQ(cache.size(), names.size());
        return found;
    };
    {
        ScanCacheWriter first(started, home.str());
        first.add(identity("a.hpi"), yield(1, 100));
        first.add(identity("b.ufo"), yield(2, 5000));
        first.write();
    }
    ScanCache previous = ScanCache::Load(home.str());
    ASSERT_EQ(previous.size(), 2u);
    {
        // Taken over before and after a newly read archive, in scan order.
        ScanCacheWriter second(started, home.str());
        second.keep(identity("a.hpi"), *previous.find(identity("a.hpi")));
        second.add(identity("c.ufo"), yield(3, 70));
        second.keep(identity("b.ufo"), *previous.find(identity("b.ufo")));
        EXPECT_TRUE(second.differsFrom(previous));
        second.write();
    }
    EXPECT_EQ(entries({"a.hpi", "c.ufo", "b.ufo"}),
              (Yields{yield(1, 100), yield(3, 70), yield(2, 5000)}));
    std::vector<std::uint8_t> written = ReadFileBytes(home.path() / ScanCache::kFileName);
    {
        // A scan ended before its write: the file stays, the temporary goes.
        ScanCache current = ScanCache::Load(home.str());
        ScanCacheWriter abandoned(started, home.str());
        abandoned.keep(identity("a.hpi"), *current.find(identity("a.hpi")));
        abandoned.add(identity("d.ufo"), yield(4, 10));
    }
    EXPECT_EQ(ReadFileBytes(home.path() / ScanCache::kFileName), written);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(home.path())) ++files;
    EXPECT_EQ(files, 1u);
    {
        // Only entries taken over, one fewer: written from the views alone.
        ScanCache current = ScanCache::Load(home.str());
        ScanCacheWriter fewer(started, home.str());
        fewer.keep(identity("b.ufo"), *current.find(identity("b.ufo")));
        EXPECT_TRUE(fewer.differsFrom(current));
        fewer.write();
    }
    EXPECT_EQ(entries({"b.ufo"}), Yields{yield(2, 5000)});

    // A directory that cannot take the file: a FileError, nothing half written.
    ScanCacheWriter nowhere(started, Utf8FromPath(home.path() / "missing") + "/");
    nowhere.add(identity("a.hpi"), yield(1, 100));
    EXPECT_THROW(nowhere.write(), FileError);
    EXPECT_FALSE(fs::exists(home.path() / "missing"));
}

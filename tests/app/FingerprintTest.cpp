// The enabled set's fingerprint as whole scans compute it: what it depends on
// (the definition files' bytes) and what it must not (names, order, file
// times, threads, fast-load lists).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "archive/clsHPI.h"
#include "catalogue/Enabling.h"
#include "catalogue/Fingerprint.h"
#include "tests/support/Installation.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"

using namespace kloxmere;
using namespace kloxmere::test;

namespace {

const ArchiveFiles kBase = {{"units\\tank.fbi", UnitText("TANK")},
                            {"weapons\\guns.tdf", WeaponText({{"GUN", 3}})},
                            {"download\\menu.tdf", DownloadText("TANK", "1", "1", "TANK")}};
const ArchiveFiles kAddon = {{"units\\bot.fbi", UnitText("BOT", "CORE", "KBOT", {"LASER"})},
                             {"weapons\\lasers.tdf", WeaponText({{"LASER", 4}})}};

struct Scanned {
    RecordingServices services;
    Session session;

    Scanned(const TempDir& ta, const TempDir& home, unsigned threads = 1)
        : session(services, home.str(), home.str()) {
        session.TADirectory = ta.str();
        ScanInstallation(session, ScanOptions{threads, nullptr});
    }
    EnabledSetFingerprint fingerprint() { return FingerprintEnabledSet(session.catalogue); }
    clsUnit& unit(const std::string& name) {
        for (clsUnit* u : session.catalogue.UnitList) {
            if (u->Name == name) return *u;
        }
        throw std::runtime_error("no unit " + name);
    }
};

std::vector<std::uint64_t> sortedHashes(const EnabledSetFingerprint& fingerprint) {
    std::vector<std::uint64_t> hashes;
    for (const auto& archive : fingerprint.archives) hashes.push_back(archive.hash);
    std::sort(hashes.begin(), hashes.end());
    return hashes;
}

std::uint64_t hashOf(const EnabledSetFingerprint& fingerprint, const std::string& name) {
    for (const auto& archive : fingerprint.archives) {
        if (archive.name == name) return archive.hash;
    }
    ADD_FAILURE() << "no archive " << name;
    return 0;
}

}  // namespace

TEST(Fingerprint, CodesAreTwoGroupsOfFourWithoutLookAlikes) {
    for (const std::vector<std::uint64_t>& hashes :
         {std::vector<std::uint64_t>{}, {0}, {1, 2, 3}, {~0ULL}}) {
        std::string code = FingerprintCode(hashes);
        ASSERT_EQ(code.size(), 9u) << code;
        EXPECT_EQ(code[4], '-');
        code.erase(4, 1);
        for (char c : code) {
            EXPECT_NE(kFingerprintAlphabet.find(c), std::string_view::npos) << code;
        }
        for (char lookAlike : {'0', 'O', '1', 'I', 'L'}) {
            EXPECT_EQ(code.find(lookAlike), std::string::npos) << code;
        }
    }
    EXPECT_EQ(FingerprintCode({1, 2, 3}), FingerprintCode({3, 1, 2}));
    EXPECT_NE(FingerprintCode({1, 2}), FingerprintCode({1, 2, 2}));  // a copy counts
    EXPECT_NE(FingerprintCode({1, 2}), FingerprintCode({1, 3}));
    EXPECT_EQ(HexHash(0xab), "00000000000000ab");
}

TEST(Fingerprint, IgnoresNamesOrderPathCaseAndFileTimes) {
    TempDir ta1, ta2, home;
    WriteArchive(ta1.file("base.hpi"), kBase);
    WriteArchive(ta1.file("addon.ufo"), kAddon);
    // The same content under other names, in the other order, with the inner
    // paths in other case and the files' times apart.
    ArchiveFiles shouting = kBase;
    for (auto& [path, text] : shouting)
        std::transform(path.begin(), path.end(), path.begin(), ::toupper);
    WriteArchive(ta2.file("aaa.ufo"), shouting);
    WriteArchive(ta2.file("zzz.hpi"), kAddon);
    auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(ta2.path() / "zzz.hpi", past);

    EnabledSetFingerprint first = Scanned(ta1, home).fingerprint();
    EnabledSetFingerprint second = Scanned(ta2, home).fingerprint();
    ASSERT_EQ(first.archives.size(), 2u);
    EXPECT_EQ(first.code, second.code);
    EXPECT_EQ(sortedHashes(first), sortedHashes(second));
    EXPECT_EQ(hashOf(first, "base.hpi"), hashOf(second, "aaa.ufo"));
    EXPECT_NE(hashOf(first, "base.hpi"), hashOf(first, "addon.ufo"));
}

TEST(Fingerprint, FollowsTheDefinitionBytesOnly) {
    TempDir ta1, ta2, home;
    WriteArchive(ta1.file("base.hpi"), kBase);
    WriteArchive(ta1.file("addon.ufo"), kAddon);
    WriteArchive(ta1.file("maps.ufo"), {{"maps\\island.tnt", "a map"}});
    // Files no catalogue reads are left out; a changed byte in a unit file is not.
    ArchiveFiles extra = kBase;
    extra.push_back({"units\\readme.txt", "notes"});
    extra.push_back({"anims\\tank.gaf", "pictures"});
    WriteArchive(ta2.file("base.hpi"), extra);
    ArchiveFiles changed = kAddon;
    changed[0].second += " ";
    WriteArchive(ta2.file("addon.ufo"), changed);

    EnabledSetFingerprint first = Scanned(ta1, home).fingerprint();
    EnabledSetFingerprint second = Scanned(ta2, home).fingerprint();
    ASSERT_EQ(first.archives.size(), 2u);  // the map archive decides nothing
    EXPECT_EQ(hashOf(first, "base.hpi"), hashOf(second, "base.hpi"));
    EXPECT_NE(hashOf(first, "addon.ufo"), hashOf(second, "addon.ufo"));
    EXPECT_NE(first.code, second.code);
}

TEST(Fingerprint, CoversFilesAnEarlierArchiveHides) {
    TempDir ta1, ta2, home;
    // first.hpi comes before later.ufo and hides its tank; the hidden copies differ.
    for (const TempDir* ta : {&ta1, &ta2}) {
        WriteArchive(ta->file("first.hpi"), {{"units\\tank.fbi", UnitText("TANK")}});
    }
    WriteArchive(ta1.file("later.ufo"), kBase);
    ArchiveFiles hiddenChanged = kBase;
    hiddenChanged[0].second = UnitText("TANK", "CORE");
    WriteArchive(ta2.file("later.ufo"), hiddenChanged);

    Scanned first(ta1, home), second(ta2, home);
    EXPECT_EQ(second.unit("TANK").Side, "ARM");  // the catalogues agree
    EnabledSetFingerprint a = first.fingerprint(), b = second.fingerprint();
    EXPECT_EQ(hashOf(a, "first.hpi"), hashOf(b, "first.hpi"));
    EXPECT_NE(hashOf(a, "later.ufo"), hashOf(b, "later.ufo"));
    EXPECT_NE(a.code, b.code);
}

TEST(Fingerprint, ChangesWithASwitchAndComesBack) {
    TempDir ta, home;
    WriteArchive(ta.file("base.hpi"), kBase);
    WriteArchive(ta.file("addon.ufo"), kAddon);
    Scanned scanned(ta, home);
    std::string before = scanned.fingerprint().code;

    ASSERT_TRUE(SetUnitEnabled(scanned.unit("BOT"), false).refused.empty());
    EnabledSetFingerprint disabled = scanned.fingerprint();
    EXPECT_NE(disabled.code, before);
    ASSERT_EQ(disabled.archives.size(), 1u);
    EXPECT_EQ(disabled.archives[0].name, "base.hpi");
    // A fresh scan of the switched directory agrees with the switched catalogue.
    EXPECT_EQ(Scanned(ta, home).fingerprint().code, disabled.code);

    ASSERT_TRUE(SetUnitEnabled(scanned.unit("BOT"), true).refused.empty());
    EXPECT_EQ(scanned.fingerprint().code, before);
}

TEST(Fingerprint, SameOnEveryThreadCountAndWithFastLoadLists) {
    TempDir ta, home, listHome;
    for (int a = 0; a < 12; ++a) {
        std::string n = std::to_string(a);
        // Every third archive repeats a unit path, so that several hide files.
        WriteArchive(ta.file("pack" + n + (a % 2 ? ".ufo" : ".hpi")),
                     {{"units\\u" + std::to_string(a % 3 == 0 ? 0 : a) + ".fbi",
                       UnitText("U" + n, "ARM", "TANK", {"W" + n})},
                      {"weapons\\w" + n + ".tdf", WeaponText({{"W" + n, a + 1}})},
                      {"download\\d" + n + ".tdf", DownloadText("U0", "1", n, "U" + n)}});
    }
    std::string oneThread = Scanned(ta, home, 1).fingerprint().code;
    EXPECT_EQ(Scanned(ta, home, 3).fingerprint().code, oneThread);
    {
        Scanned scanned(ta, home, 1);
        RecordingServices services;
        const auto& archives = scanned.session.catalogue.ArchiveList;
        ASSERT_TRUE(archives.Item(2)->SaveList(listHome.file("a.udf"), services));
        ASSERT_TRUE(archives.Item(7)->SaveList(listHome.file("b.udf"), services));
    }
    for (unsigned threads : {1u, 2u}) {
        Scanned listed(ta, listHome, threads);
        EnabledSetFingerprint fingerprint = listed.fingerprint();
        EXPECT_EQ(fingerprint.code, oneThread) << threads;
        EXPECT_EQ(fingerprint.archives.size(), 12u) << threads;
    }
}

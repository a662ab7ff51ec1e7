// The installation generator: what a scan of its output catalogues and the
// shape of what it writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "tests/support/CatalogueDump.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "tools/FillerContent.h"
#include "tools/InstallationGenerator.h"
#include "units/clsUnitArchive.h"
#include "units/clsWeapon.h"
#include "units/modGeneric.h"

using namespace kloxmere;
using namespace kloxmere::test;
using namespace kloxmere::tools;

namespace {

namespace fs = std::filesystem;

InstallationTier tinyTier() {
    return {"tiny", 20, 60, 70, 90};
}

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

std::map<std::string, std::vector<std::uint8_t>> readAll(const fs::path& directory) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::directory_iterator(directory))
        files[Utf8FromPath(entry.path().filename())] = ReadFileBytes(entry.path());
    return files;
}

// A generated installation shared by the tests that only read it.
class GeneratedTiny : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_dir = new TempDir;
        s_made = GenerateInstallation(s_dir->path() / "ta", tinyTier(), 7);
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static fs::path ta() { return s_dir->path() / "ta"; }

    static TempDir* s_dir;
    static GeneratedInstallation s_made;
};
TempDir* GeneratedTiny::s_dir = nullptr;
GeneratedInstallation GeneratedTiny::s_made;

}  // namespace

TEST_F(GeneratedTiny, AScanCataloguesExactlyTheTiersCountsWithConflicts) {
    EXPECT_EQ(s_made.units, 60u);
    EXPECT_EQ(s_made.weapons, 70u);
    EXPECT_EQ(s_made.menuEntries, 90u);
    // Later copies of earlier paths and names are written, and must not count.
    EXPECT_GT(s_made.shadowedUnitFiles, 0u);
    EXPECT_GT(s_made.shadowedWeaponFiles, 0u);
    EXPECT_GT(s_made.weaponSections, s_made.weapons);
    EXPECT_GT(s_made.menuEntriesWritten, s_made.menuEntries);

    std::string oneThreadCatalogue;
    for (unsigned threads : {1u, 2u, 4u}) {
        TempDir home;
        RecordingServices services;
        Session session(services, home.str(), home.str());
        session.TADirectory = Utf8FromPath(ta()) + "/";
        ScanInstallation(session, ScanOptions{threads, nullptr});
        const Catalogue& c = session.catalogue;
        // Decoding on several threads must build exactly the one-thread catalogue.
        if (threads == 1) oneThreadCatalogue = DumpCatalogue(c);
        EXPECT_EQ(DumpCatalogue(c), oneThreadCatalogue) << threads << " threads";
        EXPECT_TRUE(services.messages.empty()) << services.messages.front().text;
        EXPECT_EQ(c.ArchiveList.Count(), s_made.cataloguedArchives);
        EXPECT_EQ(c.UnitList.Count(), 60u);
        EXPECT_EQ(c.WeaponList.Count(), 70u);
        EXPECT_EQ(c.MenuEntryList.Count(), 90u);
        EXPECT_FALSE(c.MenuConflictList.empty());
        EXPECT_GE(c.SideList.Count(), 2u);
        auto conflicting = std::count_if(c.UnitList.begin(), c.UnitList.end(),
                                         [](const clsUnit* u) { return u->Conflict() != 0; });
        auto disabled = std::count_if(c.UnitList.begin(), c.UnitList.end(),
                                      [](const clsUnit* u) { return !u->Enabled(); });
        EXPECT_GT(conflicting, 0);
        EXPECT_GT(disabled, 0);
    }
}

TEST_F(GeneratedTiny, ArchivesAreShapedLikeTheGamesAndTheAddOns) {
    std::size_t files = 0, disabled = 0;
    std::set<std::string> extensions;
    for (const auto& entry : fs::directory_iterator(ta())) {
        ++files;
        std::string name = Utf8FromPath(entry.path().filename());
        std::string extension = FoldCase(name.substr(name.rfind('.') + 1));
        extensions.insert(extension);
        disabled += extension[0] == 'x' ? 1 : 0;
        std::vector<std::uint8_t> bytes = ReadFileBytes(entry.path());
        ASSERT_GT(bytes.size(), 36u);
        std::uint32_t key = bytes[12] | bytes[13] << 8 | bytes[14] << 16 | bytes[15] << 24;
        auto archive = HpiArchive::fromMemory(bytes, name);
        bool game = extension == "hpi" || extension == "ccx" || extension == "xccx";
        EXPECT_EQ(key != 0, game) << name;
        if (game) {
            EXPECT_GT(bytes.size(), 1'000'000u) << name;
            for (const HpiFileInfo& file : archive->listFiles())
                EXPECT_EQ(file.compression, HpiCompression::Lz77) << name << " " << file.path;
        }
    }
    EXPECT_EQ(files, 20u);
    EXPECT_EQ(disabled, s_made.disabledArchives);
    EXPECT_EQ(extensions, (std::set<std::string>{"hpi", "ccx", "xccx", "ufo", "xufo"}));
}

TEST_F(GeneratedTiny, DefinitionFilesLookHandWritten) {
    std::size_t unitFiles = 0, crlf = 0, lfOnly = 0, tabs = 0, comments = 0;
    for (const auto& entry : fs::directory_iterator(ta())) {
        auto archive = HpiArchive::open(entry.path());
        for (const HpiFileInfo& file : archive->listFiles()) {
            auto kind = ClassifyListedFile(file.path);
            if (!kind) continue;
            std::vector<std::uint8_t> bytes = archive->extract(file.path);
            std::string text(bytes.begin(), bytes.end());
            if (*kind == DefinitionKind::Unit) {
                ++unitFiles;
                EXPECT_GE(text.size(), 800u) << file.path;
                EXPECT_LE(text.size(), 4096u) << file.path;
                bool hasCrlf = text.find("\r\n") != std::string::npos;
                crlf += hasCrlf ? 1 : 0;
                lfOnly += hasCrlf ? 0 : 1;
                tabs += text.find('\t') != std::string::npos ? 1 : 0;
                comments += text.find("//") != std::string::npos ? 1 : 0;
            } else if (*kind == DefinitionKind::Weapons) {
                auto weapons = ReadWeaponDefinitions(text);
                EXPECT_GE(weapons.size(), 1u) << file.path;
                EXPECT_LE(weapons.size(), 240u) << file.path;
                for (const auto& weapon : weapons) {
                    EXPECT_GE(weapon->ID, 0);
                    EXPECT_LE(weapon->ID, 255);
                }
            }
        }
    }
    EXPECT_EQ(unitFiles, s_made.unitFiles);
    EXPECT_GT(crlf, 0u);
    EXPECT_GT(lfOnly, 0u);
    EXPECT_GT(tabs, 0u);
    EXPECT_GT(comments, 0u);
}

// The benchmark compares the bytes a scan reads with this figure.
TEST_F(GeneratedTiny, DefinitionBytesAreWhatReadingTheDefinitionsTakes) {
    ResetHpiBytesRead();
    for (const auto& entry : fs::directory_iterator(ta())) {
        auto archive = HpiArchive::open(entry.path());
        for (const HpiFileInfo& file : archive->listFiles()) {
            if (ClassifyListedFile(file.path)) archive->extract(file.path);
        }
    }
    EXPECT_EQ(HpiBytesRead(), s_made.definitionBytes);
}

// The benchmark's fast-load scan relies on every catalogued archive being
// covered by the list saved from it, with the same catalogue as a result:
// only the archives without definitions (map packs) are still opened.
TEST_F(GeneratedTiny, FastLoadListsCoverEveryCataloguedArchive) {
    TempDir home;
    NullPlatformServices services;
    Session full(services, home.str(), home.str());
    full.TADirectory = Utf8FromPath(ta()) + "/";
    ScanInstallation(full, ScanOptions{1, nullptr});
    std::set<std::string> covered;
    for (const clsUnitArchive* archive : full.catalogue.ArchiveList) {
        std::string title = FileTitle(archive->HPI->Filename);
        covered.insert(title);
        ASSERT_TRUE(archive->SaveList(home.file(title + ".udf"), services));
    }
    ResetHpiBytesRead();
    for (const auto& entry : fs::directory_iterator(ta())) {
        if (!covered.count(Utf8FromPath(entry.path().filename()))) HpiArchive::open(entry.path());
    }
    std::uint64_t uncoveredDirectories = HpiBytesRead();
    ASSERT_GT(uncoveredDirectories, 0u);  // the map packs

    Session listed(services, home.str(), home.str());
    listed.TADirectory = full.TADirectory;
    ResetHpiBytesRead();
    // Without the scan cache, which would spare the uncovered archives too.
    ScanInstallation(listed, ScanOptions{1, nullptr, false});
    EXPECT_EQ(HpiBytesRead(), uncoveredDirectories);
    EXPECT_EQ(listed.catalogue.ArchiveList.Count(), full.catalogue.ArchiveList.Count());
    EXPECT_EQ(listed.catalogue.UnitList.Count(), 60u);
    EXPECT_EQ(listed.catalogue.MenuEntryList.Count(), 90u);
}

TEST(Generator, TheSameSeedWritesTheSameBytes) {
    TempDir dir;
    InstallationTier tier{"small", 8, 20, 20, 30};
    GenerateInstallation(dir.path() / "a", tier, 3, GeneratorOptions{1});
    GenerateInstallation(dir.path() / "b", tier, 3, GeneratorOptions{2});
    GenerateInstallation(dir.path() / "c", tier, 4);
    EXPECT_EQ(readAll(dir.path() / "a"), readAll(dir.path() / "b"));
    EXPECT_NE(readAll(dir.path() / "a"), readAll(dir.path() / "c"));
}

TEST(Generator, RefusesADirectoryThatHoldsFiles) {
    TempDir dir;
    dir.write("keep.ufo", "mine");
    EXPECT_THROW(GenerateInstallation(dir.path(), tinyTier(), 1), std::runtime_error);
    EXPECT_EQ(dir.read("keep.ufo"), bytesOf("mine"));
}

TEST(Generator, SummaryTextRoundTrips) {
    GeneratedInstallation made;
    made.tier = TierL();
    made.seed = 18'000'000'000'000'000'000u;
    made.units = 6300;
    made.definitionBytes = 123456789;
    std::string text = FormatGeneratedInstallation(made);
    auto parsed = ParseGeneratedInstallation(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(FormatGeneratedInstallation(*parsed), text);
    EXPECT_EQ(parsed->tier.units, 6300u);
    EXPECT_EQ(parsed->seed, made.seed);

    EXPECT_FALSE(ParseGeneratedInstallation(text.substr(0, text.size() / 2)));
    std::string damaged = text;
    damaged.replace(damaged.find("units=6300"), 10, "units=63x0");
    EXPECT_FALSE(ParseGeneratedInstallation(damaged));
    std::uint64_t number = 5;
    for (std::string_view bad : {"", "-1", " 1", "1 ", "0x10", "18446744073709551616"})
        EXPECT_FALSE(ParseNumber(bad, number)) << bad;
    EXPECT_EQ(number, 5u);
    EXPECT_TRUE(ParseNumber("18446744073709551615", number));
    EXPECT_EQ(number, 18'446'744'073'709'551'615u);
    EXPECT_TRUE(TierNamed("xl"));
    EXPECT_FALSE(TierNamed("XXL"));
}

TEST(Generator, FillerCompressesLikeRealFilesNotLikeNoiseOrZeros) {
    double soundRatio = 0, scriptRatio = 0;
    for (std::size_t k = 0; k < kFillerKinds; ++k) {
        auto kind = static_cast<FillerKind>(k);
        FillerSizes sizes = FillerSizeRange(kind);
        std::vector<std::uint8_t> content = MakeFillerContent(kind, sizes.largest, 11);
        HpiEncodedFile encoded = EncodeHpiFile(content, {HpiCompression::Zlib, false});
        double ratio =
            static_cast<double>(encoded.data.size()) / static_cast<double>(content.size());
        EXPECT_GT(ratio, 0.25) << "kind " << k;
        EXPECT_LT(ratio, 0.95) << "kind " << k;
        if (kind == FillerKind::Sound) soundRatio = ratio;
        if (kind == FillerKind::Script) scriptRatio = ratio;
    }
    EXPECT_GT(soundRatio, scriptRatio);  // sampled sound hardly compresses; code does
}

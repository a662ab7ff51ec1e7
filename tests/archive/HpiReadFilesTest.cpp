// Reading many files by id (the scan's way in): every file comes out as
// extracting it by name gives it, or fails where extracting it fails,
// whatever its encoding, its neighbours and the damage around it.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

#include "archive/HpiArchive.h"
#include "tests/archive/HpiTestSupport.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::SampleBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Small files of every encoding, some side by side and some with a big
// stored file between them (farther apart than one read spans), a file of
// two chunks and an empty one, in "units" and a sub-directory.
Bytes mixedArchive(std::uint8_t key) {
    HpiWriter writer = test::MakeWriter(key);
    writer.addFile("units/a.fbi", SampleBytes(900, 1));
    writer.addFile("units/b.fbi", SampleBytes(1200, 2), {HpiCompression::Lz77, false});
    writer.addFile("units/c.fbi", SampleBytes(700, 3), {HpiCompression::Lz77, true});
    writer.addFile("units/d.fbi", SampleBytes(500, 4), {HpiCompression::Stored, false});
    writer.addFile("units/e.fbi", SampleBytes(800, 5), {HpiCompression::Zlib, true});
    writer.addFile("units/f.fbi", SampleBytes(140000, 6));
    writer.addFile("units/g.fbi", {});
    writer.addFile("units/filler.bin", SampleBytes(200000, 7), {HpiCompression::Stored, false});
    writer.addFile("units/h.fbi", SampleBytes(600, 8), {HpiCompression::Lz77, true});
    writer.addFile("units/sub/i.fbi", SampleBytes(300, 9));
    return writer.build();
}

// Each file of `dir` by name: its bytes by extract, or nullopt where extract fails.
std::map<std::string, std::optional<Bytes>> byName(const HpiArchive& archive,
                                                   std::string_view dir) {
    std::map<std::string, std::optional<Bytes>> files;
    for (const HpiListedFile& file : archive.filesIn(dir)) {
        std::string path = std::string(dir) + "\\" + file.entry->name;
        try {
            files[file.entry->name] = archive.extract(path);
        } catch (const HpiError&) {
            files[file.entry->name] = std::nullopt;
        }
    }
    return files;
}

// The same files read by id, asked for in the reverse of their stored order.
std::map<std::string, std::optional<Bytes>> byId(const HpiArchive& archive, std::string_view dir) {
    std::vector<HpiListedFile> listed = archive.filesIn(dir);
    std::reverse(listed.begin(), listed.end());
    std::vector<std::uint32_t> ids;
    for (const HpiListedFile& file : listed) ids.push_back(file.id);
    std::map<std::string, std::optional<Bytes>> files;
    std::vector<int> taken(ids.size(), 0);
    archive.readFiles(ids, [&](std::size_t i, std::optional<std::span<const std::uint8_t>> bytes) {
        ++taken.at(i);
        auto& slot = files[listed[i].entry->name];
        if (bytes) slot = Bytes(bytes->begin(), bytes->end());
    });
    EXPECT_EQ(taken, std::vector<int>(ids.size(), 1)) << "every file handed over exactly once";
    return files;
}

TEST(HpiReadFiles, GivesEveryEncodingAsExtractDoes) {
    for (std::uint8_t key : {0, 0x7D}) {
        auto archive = HpiArchive::fromMemory(mixedArchive(key));
        auto expected = byName(*archive, "units");
        ASSERT_EQ(expected.size(), 9u);  // the sub-directory is no file
        EXPECT_EQ(expected.at("g.fbi"), Bytes{});
        EXPECT_EQ(expected.at("f.fbi"), SampleBytes(140000, 6));
        EXPECT_EQ(byId(*archive, "units"), expected) << "key " << int(key);
        EXPECT_EQ(byId(*archive, "UNITS/Sub"), byName(*archive, "units\\sub"));
    }
}

TEST(HpiReadFiles, ListsFilesOfOneDirectoryWithTheirIds) {
    auto archive = HpiArchive::fromMemory(mixedArchive(0));
    EXPECT_TRUE(archive->filesIn("weapons").empty());
    EXPECT_TRUE(archive->filesIn("units\\a.fbi").empty());  // a file, not a directory
    std::vector<std::string> names;
    for (const HpiListedFile& file : archive->filesIn("units")) names.push_back(file.entry->name);
    EXPECT_EQ(names, (std::vector<std::string>{"a.fbi", "b.fbi", "c.fbi", "d.fbi", "e.fbi", "f.fbi",
                                               "filler.bin", "g.fbi", "h.fbi"}));
    auto root = archive->filesIn("");
    EXPECT_TRUE(root.empty());  // only the directory "units"
    // Offsets follow the stored order in a written archive.
    auto files = archive->filesIn("units");
    for (std::size_t i = 1; i < files.size(); ++i) {
        EXPECT_LE(archive->dataOffset(files[i - 1].id), archive->dataOffset(files[i].id));
    }
}

TEST(HpiReadFiles, DamagedDataFailsTheFilesExtractFailsOn) {
    Bytes good = mixedArchive(0);
    auto archive = HpiArchive::fromMemory(good);
    std::uint64_t first = archive->dataOffset(archive->filesIn("units").front().id);
    std::uint64_t filler = 0;
    for (const HpiListedFile& file : archive->filesIn("units")) {
        if (file.entry->name == "filler.bin") filler = archive->dataOffset(file.id);
    }
    // Every byte of the small files' data flipped in turn (chunk tables,
    // headers, checksums and payloads), then each of the following bytes.
    for (std::uint64_t at = first; at < filler; at += 3) {
        Bytes damaged = good;
        damaged[at] ^= 0x41;
        auto opened = HpiArchive::fromMemory(damaged);
        ASSERT_EQ(byId(*opened, "units"), byName(*opened, "units")) << "byte " << at;
    }
}

TEST(HpiReadFiles, AnArchiveShorterThanAtOpeningFailsAsExtractDoes) {
    test::TempDir dir;
    Bytes good = mixedArchive(0x31);
    dir.write("t.hpi", good);
    auto archive = HpiArchive::open(dir.path() / "t.hpi");
    std::uint64_t hOffset = 0;
    for (const HpiListedFile& file : archive->filesIn("units")) {
        if (file.entry->name == "h.fbi") hOffset = archive->dataOffset(file.id);
    }
    // Cut in the middle of the last small file: it fails, those before it do not.
    std::filesystem::resize_file(dir.path() / "t.hpi", hOffset + 40);
    auto expected = byName(*archive, "units");
    EXPECT_FALSE(expected.at("h.fbi"));
    EXPECT_TRUE(expected.at("a.fbi"));
    EXPECT_EQ(byId(*archive, "units"), expected);
    // Cut before all of them: every file with data fails.
    std::filesystem::resize_file(dir.path() / "t.hpi", 100);
    expected = byName(*archive, "units");
    EXPECT_FALSE(expected.at("a.fbi"));
    EXPECT_EQ(byId(*archive, "units"), expected);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "base/ByteStream.h"
#include "base/TextCase.h"
#include "tests/archive/HpiTestSupport.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::MakeWriter;
using kloxmere::test::SampleBytes;
using kloxmere::test::TempDir;

namespace {

// Sizes around the 65,536-byte chunk boundary, an empty file and a few chunks' worth.
constexpr std::size_t kSizes[] = {0, 1, 65535, 65536, 65537, 300000};

std::string innerPathFor(std::size_t size) {
    return "Units\\Nested\\Deeper\\File" + std::to_string(size) + ".Dat";
}

using Params = std::tuple<HpiCompression, std::uint8_t, bool>;

class HpiRoundTrip : public testing::TestWithParam<Params> {};

TEST_P(HpiRoundTrip, EveryFileComesBackUnchanged) {
    auto [compression, key, scramble] = GetParam();
    HpiWriter writer = MakeWriter(key);
    for (std::size_t size : kSizes) {
        writer.addFile(innerPathFor(size), SampleBytes(size, static_cast<std::uint32_t>(size)),
                       {compression, scramble});
    }
    writer.addFile("readme.txt", SampleBytes(100), {compression, scramble});
    TempDir dir;
    writer.write(dir.path() / "round.hpi");

    auto archive = HpiArchive::open(dir.path() / "round.hpi");
    for (std::size_t size : kSizes) {
        SCOPED_TRACE(size);
        std::string path = innerPathFor(size);
        auto info = archive->findFile(path);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->path, path);
        EXPECT_EQ(info->size, size);
        EXPECT_EQ(info->compression, compression);
        EXPECT_EQ(archive->extract(UpperCase(path)),
                  SampleBytes(size, static_cast<std::uint32_t>(size)));
    }
    EXPECT_EQ(archive->extract("README.TXT"), SampleBytes(100));
}

std::string paramName(const testing::TestParamInfo<Params>& info) {
    auto [compression, key, scramble] = info.param;
    return std::string(HpiCompressionName(compression)) + "_key" + std::to_string(key) +
           (scramble ? "_scrambled" : "_plain");
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, HpiRoundTrip,
    testing::Combine(testing::Values(HpiCompression::Stored, HpiCompression::Lz77,
                                     HpiCompression::Zlib),
                     testing::Values(std::uint8_t{0}, std::uint8_t{0x7D}, std::uint8_t{0xFF}),
                     testing::Bool()),
    paramName);

// A directory of many entries: every name is found in any case and with
// doubled or leading separators, names that are not there are not, and a
// path that runs through a file finds nothing.
TEST(HpiArchiveListing, FindsEveryEntryOfALargeDirectory) {
    HpiWriter writer = MakeWriter();
    for (int i = 0; i < 300; ++i)
        writer.addFile("units/Unit" + std::to_string(i) + ".fbi", SampleBytes(3));
    auto archive = HpiArchive::fromMemory(writer.build());
    for (int i = 0; i < 300; ++i) {
        std::string name = "Unit" + std::to_string(i) + ".fbi";
        auto found = archive->findFile("\\UNITS//" + UpperCase(name));
        ASSERT_TRUE(found) << name;
        EXPECT_EQ(found->path, "units\\" + name);
        EXPECT_EQ(archive->extract("units\\" + LowerCase(name)).size(), 3u);
    }
    EXPECT_FALSE(archive->findFile("units\\Unit300.fbi"));
    EXPECT_FALSE(archive->findFile("units\\Unit1.fbi\\more"));
    EXPECT_FALSE(archive->findFile("/"));
}

TEST(HpiArchiveListing, ListsAndFindsWithoutRegardToCaseOrSeparator) {
    HpiWriter writer = MakeWriter();
    for (const char* path : {"units/ARMCOM.FBI", "units/corcom.fbi", "units/Sub/deep.fbi",
                             "Œuvre€.txt", "weapons/weapons.tdf"}) {
        writer.addFile(path, SampleBytes(10));
    }
    auto archive = HpiArchive::fromMemory(writer.build());

    std::vector<std::string> paths;
    for (const auto& file : archive->listFiles()) paths.push_back(file.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"units\\ARMCOM.FBI", "units\\corcom.fbi",
                                               "units\\Sub\\deep.fbi", "weapons\\weapons.tdf",
                                               "Œuvre€.txt"}));  // sorted by folded name
    const auto* units = archive->listDirectory("UNITS");
    ASSERT_TRUE(units);
    ASSERT_EQ(units->size(), 3u);
    EXPECT_TRUE((*units)[2].isDirectory);
    EXPECT_EQ(archive->listDirectory("units/sub")->size(), 1u);
    EXPECT_EQ(archive->listDirectory("")->size(), 3u);
    EXPECT_EQ(archive->listDirectory("download"), nullptr);
    EXPECT_EQ(archive->listDirectory("units\\ARMCOM.FBI"), nullptr);

    EXPECT_EQ(archive->findFile("UNITS/armcom.fbi")->path, "units\\ARMCOM.FBI");
    EXPECT_EQ(archive->findFile("œUVRE€.TXT")->path, "Œuvre€.txt");
    EXPECT_FALSE(archive->findFile("units"));
    EXPECT_FALSE(archive->findFile("units\\missing.fbi"));
    EXPECT_THROW(archive->extract("units\\missing.fbi"), HpiError);
    EXPECT_THROW(archive->extract("units"), HpiError);
}

TEST(HpiArchiveReads, OpenReadsOnlyTheHeaderAndDirectoryAndExtractOnlyThatFile) {
    HpiWriter writer = MakeWriter();
    writer.addFile("big.bin", SampleBytes(500000));
    writer.addFile("small.txt", SampleBytes(1000));
    TempDir dir;
    writer.write(dir.path() / "a.hpi");
    auto bytes = writer.build();
    auto small = test::LayoutOf(bytes, "small.txt");
    std::uint32_t directoryEnd = LoadU32(bytes.data() + 8);

    ResetHpiBytesRead();
    auto archive = HpiArchive::open(dir.path() / "a.hpi");
    EXPECT_EQ(HpiBytesRead(), directoryEnd);

    ResetHpiBytesRead();
    archive->extract("small.txt");
    std::uint32_t chunkOnDisk = LoadU32(bytes.data() + small.data);
    EXPECT_EQ(HpiBytesRead(), 4 + chunkOnDisk);
}

TEST(HpiArchiveReads, FilesWhoseEndCannotBeToldAreReadChunkByChunk) {
    // Without the trailer the last file's data runs to the end of the file,
    // past where a file's extent is assumed to end; it still reads whole.
    HpiWriter writer = MakeWriter();
    writer.addFile("a.bin", SampleBytes(70000));
    writer.addFile("z.bin", SampleBytes(150000));
    auto bytes = writer.build();
    bytes.resize(bytes.size() - 36);
    auto archive = HpiArchive::fromMemory(bytes, "untrailed.hpi");
    EXPECT_EQ(archive->extract("z.bin"), SampleBytes(150000));
    EXPECT_EQ(archive->extract("a.bin"), SampleBytes(70000));
}

}  // namespace

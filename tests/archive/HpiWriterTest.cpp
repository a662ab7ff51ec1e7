// Files encoded once and shared between archives, the layout the writer
// reports, and streaming an archive to disk without leaving a partial file.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <csignal>
#endif

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "tests/archive/HpiTestSupport.h"
#include "tests/support/TempDir.h"
#include "tools/Lz77Encoder.h"

using namespace kloxmere;
using kloxmere::test::MakeWriter;
using kloxmere::test::SampleBytes;
using kloxmere::test::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kOlder = "an older archive";

const HpiChunkCompressor kLz77 = [](std::span<const std::uint8_t> chunk) {
    return tools::EncodeLz77Chunk(chunk);
};

// Names of the files in `directory`.
std::vector<std::string> namesIn(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(Utf8FromPath(entry.path().filename()));
    return names;
}

struct Sample {
    std::string path;
    Bytes content;
};

std::vector<Sample> samples() {
    return {{"units\\ZED.FBI", SampleBytes(900, 1)},
            {"Units\\alpha.fbi", SampleBytes(400, 2)},
            {"objects3d\\big.3do", SampleBytes(150'000, 3)},
            {"features\\rocks\\r1.3do", SampleBytes(9'000, 4)},
            {"empty.txt", {}}};
}

struct Case {
    std::uint8_t key;
    HpiFileEncoding encoding;
};
constexpr Case kCases[] = {{0, {HpiCompression::Zlib, false}},
                           {0x5A, {HpiCompression::Lz77, true}},
                           {0xC3, {HpiCompression::Lz77, false}},
                           {7, {HpiCompression::Stored, false}}};

TEST(HpiEncodedFiles, GiveTheBytesOfAddedFilesInAnyArchive) {
    const std::vector<Sample> files = samples();
    for (const Case& c : kCases) {
        SCOPED_TRACE(int(c.key));
        HpiWriter added = MakeWriter(c.key), encoded(c.key);
        added.setTrailerYear("1998");
        encoded.setTrailerYear("1998");
        std::vector<std::shared_ptr<const HpiEncodedFile>> shared;
        for (const Sample& s : files) {
            added.addFile(s.path, s.content, c.encoding);
            shared.push_back(std::make_shared<const HpiEncodedFile>(
                EncodeHpiFile(s.content, c.encoding, kLz77)));
            encoded.addEncodedFile(s.path, shared.back());
        }
        HpiWriter::Layout layout;
        Bytes built = encoded.build(&layout);
        ASSERT_EQ(built, added.build());
        EXPECT_EQ(layout.totalBytes, built.size());
        EXPECT_EQ(layout.directoryEnd, LoadU32(built.data() + 8));

        // The layout's data sizes are exactly what a reader reads to extract each file.
        auto archive = HpiArchive::fromMemory(built);
        ResetHpiBytesRead();
        std::uint64_t dataBytes = 0;
        for (const Sample& s : files) {
            EXPECT_EQ(archive->extract(s.path), s.content) << s.path;
            dataBytes += layout.dataBytes.at(s.path);
        }
        EXPECT_EQ(HpiBytesRead(), dataBytes);

        // The same encodings at other offsets of another archive.
        HpiWriter other = MakeWriter(c.key);
        other.addFile("aaa\\first.txt", SampleBytes(3000, 9), c.encoding);
        for (std::size_t i = 0; i < shared.size(); ++i)
            other.addEncodedFile("more\\" + files[i].path, shared[i]);
        auto moved = HpiArchive::fromMemory(other.build());
        for (const Sample& s : files) EXPECT_EQ(moved->extract("more\\" + s.path), s.content);
    }
}

TEST(HpiEncodedFiles, AreRefusedWhereAddedFilesAreAndWhenTheyCannotBeEncodings) {
    HpiWriter writer;
    auto one = std::make_shared<const HpiEncodedFile>(EncodeHpiFile(Bytes{1}, {}));
    writer.addEncodedFile("units\\ARMCOM.FBI", one);
    EXPECT_TRUE(writer.contains("UNITS/armcom.fbi"));
    EXPECT_FALSE(writer.contains("units"));
    for (std::string_view bad : {"", "units/armcom.fbi", "units", "units\\ARMCOM.FBI\\inner",
                                 "a\\\\b", "snow\xE2\x98\x83.txt"}) {
        EXPECT_THROW(writer.addEncodedFile(bad, one), HpiError) << bad;
    }
    EXPECT_THROW(writer.addEncodedFile("null.txt", nullptr), HpiError);
    auto shortStored =
        std::make_shared<const HpiEncodedFile>(HpiEncodedFile{10, HpiCompression::Stored, {1, 2}});
    EXPECT_THROW(writer.addEncodedFile("short.txt", shortStored), HpiError);
    auto noChunks = std::make_shared<const HpiEncodedFile>(
        HpiEncodedFile{70'000, HpiCompression::Zlib, Bytes(8 + 19, 0)});
    EXPECT_THROW(writer.addEncodedFile("chunks.txt", noChunks), HpiError);
    EXPECT_THROW(EncodeHpiFile(Bytes{1}, {HpiCompression::Lz77, false}), HpiError);
    EXPECT_EQ(HpiArchive::fromMemory(writer.build())->listFiles().size(), 1u);
}

TEST(HpiWriterStreaming, WritesTheBuiltBytesAndNothingElse) {
    HpiWriter writer = MakeWriter(0x7D);
    for (const Sample& s : samples())
        writer.addFile(s.path, s.content, {HpiCompression::Lz77, true});
    TempDir dir;
    dir.write("a.hpi", kOlder);
    HpiWriter::Layout written, built;
    writer.write(dir.path() / "a.hpi", &written);
    EXPECT_EQ(dir.read("a.hpi"), writer.build(&built));
    EXPECT_EQ(written.totalBytes, built.totalBytes);
    EXPECT_EQ(written.dataBytes, built.dataBytes);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.hpi"});
}

TEST(HpiWriterStreaming, AFailedWriteLeavesTheTargetAndNoPartialFile) {
    HpiWriter writer;
    writer.addFile("big.bin", SampleBytes(300'000), {HpiCompression::Stored, false});
    TempDir dir;

    // The target is a directory: everything is written, the rename fails.
    std::filesystem::create_directory(dir.path() / "taken.hpi");
    EXPECT_THROW(writer.write(dir.path() / "taken.hpi"), FileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken.hpi"));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"taken.hpi"});
    EXPECT_THROW(writer.write(dir.path() / "missing" / "a.hpi"), FileError);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"taken.hpi"});

#ifndef _WIN32
    // The disk refuses the data part way through: files may grow to 64 KiB only.
    std::filesystem::remove(dir.path() / "taken.hpi");
    dir.write("a.hpi", kOlder);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 65536;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(writer.write(dir.path() / "a.hpi"), FileError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(dir.read("a.hpi"), Bytes(kOlder.begin(), kOlder.end()));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.hpi"});
#endif
}

}  // namespace

// Damaged archives: each test edits bytes of a good archive and expects a
// clean HpiError, never a crash, a hang or wrong data.

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "archive/HpiArchive.h"
#include "base/ByteStream.h"
#include "tests/archive/HpiTestSupport.h"

using namespace kloxmere;
using kloxmere::test::LayoutOf;
using kloxmere::test::SampleBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kZlibSize = 100000;  // two chunks
constexpr std::size_t kLz77Size = 70000;
constexpr std::size_t kStoredSize = 3000;

// Three root files, one per encoding; the LZ77 chunks are scrambled.
Bytes goodArchive() {
    HpiWriter writer = test::MakeWriter();
    writer.addFile("a.zlib", SampleBytes(kZlibSize, 1));
    writer.addFile("b.lz77", SampleBytes(kLz77Size, 2), {HpiCompression::Lz77, true});
    writer.addFile("c.stored", SampleBytes(kStoredSize, 3), {HpiCompression::Stored, false});
    writer.addFile("sub/d.zlib", SampleBytes(10, 4));
    return writer.build();
}

std::uint32_t directoryEnd(const Bytes& archive) {
    return LoadU32(archive.data() + 8);
}

void put32(Bytes& archive, std::size_t at, std::uint32_t value) {
    StoreU32(archive.data() + at, value);
}

// Opens the archive and extracts every file it lists; files that fail to
// extract map to nullopt. Any exception but HpiError fails the test.
std::optional<std::map<std::string, std::optional<Bytes>>> readEverything(const Bytes& archive) {
    std::unique_ptr<HpiArchive> opened;
    try {
        opened = HpiArchive::fromMemory(archive);
    } catch (const HpiError&) {
        return std::nullopt;
    }
    std::map<std::string, std::optional<Bytes>> files;
    for (const HpiFileInfo& info : opened->listFiles()) {
        try {
            files[info.path] = opened->extract(info.path);
        } catch (const HpiError&) {
            files[info.path] = std::nullopt;
        }
    }
    return files;
}

void expectRefused(const Bytes& archive) {
    EXPECT_THROW(HpiArchive::fromMemory(archive), HpiError);
}

void expectExtractionRefused(const Bytes& archive, const std::string& path) {
    auto opened = HpiArchive::fromMemory(archive);
    EXPECT_THROW(opened->extract(path), HpiError) << path;
}

TEST(DamagedHeader, TruncatedHeaderIsRefused) {
    Bytes archive = goodArchive();
    for (std::size_t size = 0; size < 20; ++size) {
        expectRefused(Bytes(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(size)));
    }
}

TEST(DamagedHeader, ForeignMarkersAndVersionsAreRefusedByName) {
    Bytes archive = goodArchive();
    auto messageFor = [](Bytes bytes) {
        try {
            HpiArchive::fromMemory(std::move(bytes), "x.hpi");
        } catch (const HpiError& e) {
            return std::string(e.what());
        }
        return std::string("opened");
    };
    Bytes savedGame = archive;
    std::copy_n("BANK", 4, savedGame.begin() + 4);
    EXPECT_NE(messageFor(savedGame).find("saved game"), std::string::npos);

    Bytes laterVariant = archive;
    put32(laterVariant, 4, 0x00020000);
    EXPECT_NE(messageFor(laterVariant).find("version 2"), std::string::npos);

    Bytes notAnArchive = archive;
    notAnArchive[0] = 'X';
    EXPECT_NE(messageFor(notAnArchive).find("x.hpi"), std::string::npos);

    Bytes unknownVersion = archive;
    put32(unknownVersion, 4, 0x00010001);
    expectRefused(unknownVersion);
}

TEST(DamagedHeader, DirectoryBlockOutsideTheFileIsRefused) {
    Bytes archive = goodArchive();
    auto withHeaderField = [&](std::size_t at, std::uint32_t value) {
        Bytes damaged = archive;
        put32(damaged, at, value);
        return damaged;
    };
    expectRefused(withHeaderField(8, static_cast<std::uint32_t>(archive.size() + 1)));
    expectRefused(withHeaderField(8, 0xFFFFFFFF));
    expectRefused(withHeaderField(8, 24));                         // too small for the root record
    expectRefused(withHeaderField(8, directoryEnd(archive) - 1));  // cuts the last record
    expectRefused(withHeaderField(16, 0));                         // the root inside the header
    expectRefused(withHeaderField(16, directoryEnd(archive)));
    expectRefused(withHeaderField(16, 0xFFFFFFF0));
}

TEST(DamagedHeader, WrongKeyIsRefused) {
    Bytes archive = goodArchive();
    archive[12] = 0x5A;  // the directory now unscrambles to noise
    expectRefused(archive);
}

TEST(DamagedDirectory, TruncatedDirectoryIsRefused) {
    Bytes archive = goodArchive();
    for (std::size_t size = 20; size < directoryEnd(archive); ++size) {
        expectRefused(Bytes(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(size)));
    }
}

TEST(DamagedDirectory, AnyFlippedByteFailsCleanlyOrReadsAsAnotherArchive) {
    Bytes archive = goodArchive();
    for (std::size_t at = 20; at < directoryEnd(archive); ++at) {
        for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
            Bytes damaged = archive;
            damaged[at] ^= mask;
            readEverything(damaged);  // must neither crash nor throw anything but HpiError
        }
    }
}

TEST(DamagedDirectory, AbsurdEntryCountIsRefused) {
    Bytes archive = goodArchive();
    put32(archive, 20, 0xFFFFFFFF);
    expectRefused(archive);
    put32(archive, 20, (directoryEnd(archive) - 28) / 9 + 1);  // one more than fits
    expectRefused(archive);
}

TEST(DamagedDirectory, OffsetsOutsideTheBlockAreRefused) {
    Bytes archive = goodArchive();
    const std::size_t firstEntry = 28;
    auto damagedAt = [&](std::size_t at, std::uint32_t value) {
        Bytes damaged = archive;
        put32(damaged, at, value);
        return damaged;
    };
    expectRefused(damagedAt(24, directoryEnd(archive)));  // the entries
    expectRefused(damagedAt(24, 4));                      // inside the header
    expectRefused(damagedAt(firstEntry, 0xFFFFFF00));     // a name
    expectRefused(damagedAt(firstEntry, directoryEnd(archive)));
    expectRefused(damagedAt(firstEntry + 4, 0x7FFFFFFF));  // a file record
    expectRefused(damagedAt(firstEntry + 4, directoryEnd(archive) - 4));
}

TEST(DamagedDirectory, NameWithoutTerminatorIsRefused) {
    Bytes archive = goodArchive();
    // The last name of the block is "d.zlib", followed by its file record;
    // point an entry at the block's last byte, which is not 0.
    std::size_t lastByte = directoryEnd(archive) - 1;
    ASSERT_NE(archive[lastByte], 0);
    put32(archive, 28, static_cast<std::uint32_t>(lastByte));
    expectRefused(archive);
}

TEST(DamagedDirectory, FileDataPastTheEndIsRefused) {
    Bytes archive = goodArchive();
    auto stored = LayoutOf(archive, "c.stored");
    Bytes damaged = archive;
    put32(damaged, stored.record + 4, static_cast<std::uint32_t>(archive.size()));  // size
    expectRefused(damaged);
    damaged = archive;
    put32(damaged, stored.record, static_cast<std::uint32_t>(archive.size() - 100));  // offset
    expectRefused(damaged);

    // A compressed size whose chunk table alone outgrows the file.
    auto zlib = LayoutOf(archive, "a.zlib");
    damaged = archive;
    put32(damaged, zlib.record + 4, 0xFFFFFFFF);
    expectRefused(damaged);
}

TEST(DamagedDirectory, UnknownCompressionIsRefused) {
    Bytes archive = goodArchive();
    archive[LayoutOf(archive, "a.zlib").record + 8] = 3;
    expectRefused(archive);
}

TEST(DamagedDirectory, TwoEntriesOfTheSameNameAreRefused) {
    Bytes archive = goodArchive();
    // Rename "b.lz77" to "A.ZLIB", which "a.zlib" already answers to.
    std::size_t name = LoadU32(archive.data() + 28 + 9);
    ASSERT_EQ(std::string(archive.begin() + static_cast<std::ptrdiff_t>(name),
                          archive.begin() + static_cast<std::ptrdiff_t>(name) + 6),
              "b.lz77");
    std::copy_n("A.ZLIB", 6, archive.begin() + static_cast<std::ptrdiff_t>(name));
    expectRefused(archive);
}

TEST(DamagedDirectory, DirectoryCycleIsRefused) {
    Bytes archive = goodArchive();
    // The root's last entry is the directory "sub"; point it back at the root.
    std::uint32_t count = LoadU32(archive.data() + 20);
    std::size_t subEntry = 28 + (count - 1) * 9;
    ASSERT_EQ(archive[subEntry + 8], 1);
    put32(archive, subEntry + 4, 20);
    expectRefused(archive);
}

TEST(DamagedDirectory, SharedDirectoryIsRefused) {
    // Two entries naming the same directory record would let a small block
    // stand for an exponentially large tree.
    Bytes archive = goodArchive();
    std::uint32_t count = LoadU32(archive.data() + 20);
    std::size_t subEntry = 28 + (count - 1) * 9;
    std::size_t firstEntry = 28;
    put32(archive, firstEntry + 4, LoadU32(archive.data() + subEntry + 4));
    archive[firstEntry + 8] = 1;
    expectRefused(archive);
}

TEST(DamagedDirectory, EndlessNestingIsRefused) {
    // A chain of 300 directories, each holding the next under the name "a".
    Bytes archive(20, 0);
    const std::uint32_t levels = 300;
    for (std::uint32_t i = 0; i < levels; ++i) {
        std::uint32_t record = static_cast<std::uint32_t>(archive.size());
        Bytes level(8 + 9 + 2, 0);
        StoreU32(level.data(), 1);
        StoreU32(level.data() + 4, record + 8);
        StoreU32(level.data() + 8, record + 17);
        StoreU32(level.data() + 12, record + 19);
        level[16] = 1;
        level[17] = 'a';
        archive.insert(archive.end(), level.begin(), level.end());
    }
    Bytes last(8, 0);  // an empty directory ends the chain
    archive.insert(archive.end(), last.begin(), last.end());
    std::copy_n("HAPI", 4, archive.begin());
    put32(archive, 4, 0x00010000);
    put32(archive, 8, static_cast<std::uint32_t>(archive.size()));
    put32(archive, 16, 20);
    expectRefused(archive);
}

TEST(DamagedData, TruncatedChunkIsRefused) {
    Bytes archive = goodArchive();
    auto zlib = LayoutOf(archive, "a.zlib");
    std::uint32_t firstChunkSize = LoadU32(archive.data() + zlib.data);
    std::uint32_t secondChunkSize = LoadU32(archive.data() + zlib.data + 4);
    std::size_t end = zlib.firstChunk + firstChunkSize + secondChunkSize;
    for (std::size_t cut : {zlib.firstChunk + 5, zlib.firstChunk + firstChunkSize - 1,
                            zlib.firstChunk + firstChunkSize + 19, end - 1}) {
        Bytes damaged(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(cut));
        auto files = readEverything(damaged);
        if (files) {
            EXPECT_FALSE(files->at("a.zlib")) << "cut at " << cut;
        }
    }
}

TEST(DamagedData, EveryTruncationLosesOnlyTheFilesItCuts) {
    Bytes archive = goodArchive();
    auto good = readEverything(archive);
    ASSERT_TRUE(good);
    for (std::size_t cut = directoryEnd(archive); cut < archive.size(); cut += 211) {
        auto files = readEverything(
            Bytes(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(cut)));
        if (!files)
            continue;
        for (const auto& [path, data] : *files) {
            if (data) {
                EXPECT_EQ(*data, *good->at(path)) << path << " cut at " << cut;
            }
        }
    }
}

TEST(DamagedData, MissingTrailerDoesNotMatterToTheReader) {
    Bytes archive = goodArchive();
    auto good = readEverything(archive);
    archive.resize(archive.size() - 36);
    EXPECT_EQ(readEverything(archive), good);
}

TEST(DamagedData, DamagedChunkHeaderIsRefused) {
    Bytes archive = goodArchive();
    struct Edit {
        const char* what;
        const char* file;
        std::size_t offset;  // in the first chunk's header
        std::uint8_t value;  // the byte's new value
    };
    for (Edit edit :
         {Edit{"marker", "a.zlib", 0, 'X'}, Edit{"version", "a.zlib", 4, 1},
          Edit{"method 0", "a.zlib", 5, 0}, Edit{"method 3", "a.zlib", 5, 3},
          Edit{"zlib read as LZ77", "a.zlib", 5, 1}, Edit{"LZ77 read as zlib", "b.lz77", 5, 2},
          Edit{"scrambled flag set", "a.zlib", 6, 1},
          Edit{"scrambled flag cleared", "b.lz77", 6, 0}, Edit{"payload size", "a.zlib", 7, 0x01},
          Edit{"decompressed size", "a.zlib", 13, 0x02}, Edit{"checksum", "a.zlib", 15, 0x77}}) {
        SCOPED_TRACE(edit.what);
        Bytes damaged = archive;
        std::size_t at = LayoutOf(archive, edit.file).firstChunk + edit.offset;
        ASSERT_NE(damaged[at], edit.value);
        damaged[at] = edit.value;
        expectExtractionRefused(damaged, edit.file);
    }
}

TEST(DamagedData, ChunkTableDisagreeingWithTheChunksIsRefused) {
    Bytes archive = goodArchive();
    auto zlib = LayoutOf(archive, "a.zlib");
    for (std::uint32_t size : {0u, 18u, LoadU32(archive.data() + zlib.data) + 1, 0xFFFFFFF0u}) {
        Bytes damaged = archive;
        put32(damaged, zlib.data, size);
        expectExtractionRefused(damaged, "a.zlib");
    }
}

TEST(DamagedData, FlippedPayloadByteFailsItsChecksum) {
    Bytes archive = goodArchive();
    for (const char* name : {"a.zlib", "b.lz77"}) {
        auto layout = LayoutOf(archive, name);
        for (std::size_t at : {std::size_t{19}, std::size_t{100}}) {
            Bytes damaged = archive;
            damaged[layout.firstChunk + at] ^= 0x10;
            expectExtractionRefused(damaged, name);
        }
    }
}

TEST(DamagedData, DamagedZlibStreamWithRepairedChecksumIsRefused) {
    Bytes archive = goodArchive();
    auto zlib = LayoutOf(archive, "a.zlib");
    std::size_t at = zlib.firstChunk + 19 + 50;
    archive[at] ^= 0x10;
    put32(archive, zlib.firstChunk + 15, LoadU32(archive.data() + zlib.firstChunk + 15) + 0x10);
    if ((archive[at] & 0x10) == 0) {  // the flip lowered the byte
        put32(archive, zlib.firstChunk + 15, LoadU32(archive.data() + zlib.firstChunk + 15) - 0x20);
    }
    expectExtractionRefused(archive, "a.zlib");
}

// LZ77 payloads carry no integrity check of their own; a stream that breaks
// the decoder's rules must still fail, even with a valid checksum.
TEST(DamagedData, BrokenLz77StreamsAreRefused) {
    struct Case {
        const char* what;
        Bytes payload;
    };
    for (const Case& c :
         {Case{"no end marker", {0x00, 'a', 'b', 'c'}},
          Case{"overruns the chunk", {0x02, 'a', 0x1F, 0x00, 0x00, 0x00}},
          Case{"ends early", {0x02, 'a', 0x00, 0x00}}, Case{"never ends", Bytes(4000, 0x00)}}) {
        SCOPED_TRACE(c.what);
        HpiWriter writer;
        writer.setLz77Compressor([&](std::span<const std::uint8_t>) { return c.payload; });
        writer.addFile("bad.lz77", Bytes(5, 'a'), {HpiCompression::Lz77, false});
        expectExtractionRefused(writer.build(), "bad.lz77");
    }
}

}  // namespace

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

// Root files "a.zlib" (two chunks), "b.lz77" (two scrambled chunks) and
// "c.stored", then the directory "sub" as the root's last entry.
Bytes goodArchive() {
    HpiWriter writer = test::MakeWriter();
    writer.addFile("a.zlib", SampleBytes(100000, 1));
    writer.addFile("b.lz77", SampleBytes(70000, 2), {HpiCompression::Lz77, true});
    writer.addFile("c.stored", SampleBytes(3000, 3), {HpiCompression::Stored, false});
    writer.addFile("sub/d.zlib", SampleBytes(10, 4));
    return writer.build();
}

constexpr std::size_t kFirstEntry = 28;
constexpr std::size_t kSubEntry = kFirstEntry + 3 * 9;

std::uint32_t directoryEnd(const Bytes& archive) {
    return LoadU32(archive.data() + 8);
}
Bytes with32(Bytes archive, std::size_t at, std::uint32_t value) {
    StoreU32(archive.data() + at, value);
    return archive;
}
Bytes cut(const Bytes& archive, std::size_t size) {
    return Bytes(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(size));
}

// Every file the archive lists, with its bytes or nullopt when extraction
// failed; nullopt when the archive does not open. Any exception other than
// HpiError fails the test.
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
    EXPECT_THROW(HpiArchive::fromMemory(archive)->extract(path), HpiError) << path;
}

std::string openingError(Bytes archive) {
    try {
        HpiArchive::fromMemory(std::move(archive), "x.hpi");
    } catch (const HpiError& e) {
        return e.what();
    }
    return "opened";
}

TEST(DamagedHeader, ForeignFilesAreRefusedByName) {
    Bytes archive = goodArchive();
    Bytes savedGame = archive;
    std::copy_n("BANK", 4, savedGame.begin() + 4);
    EXPECT_NE(openingError(savedGame).find("saved game"), std::string::npos);
    EXPECT_NE(openingError(with32(archive, 4, 0x00020000)).find("version 2"), std::string::npos);
    // "XAPI": the message names the file.
    EXPECT_NE(openingError(with32(archive, 0, 0x49504158)).find("x.hpi"), std::string::npos);
    expectRefused(with32(archive, 4, 0x00010001));
}

TEST(DamagedHeader, BadHeaderFieldsAreRefused) {
    Bytes archive = goodArchive();
    for (std::size_t size = 0; size < 20; ++size) expectRefused(cut(archive, size));
    std::uint32_t end = directoryEnd(archive);
    for (std::uint32_t directorySize :
         {static_cast<std::uint32_t>(archive.size() + 1), 0xFFFFFFFFu, 24u, end - 1}) {
        expectRefused(with32(archive, 8, directorySize));
    }
    for (std::uint32_t start : {0u, end, 0xFFFFFFF0u}) expectRefused(with32(archive, 16, start));
    expectRefused(with32(archive, 12, 0x5A));  // a wrong key unscrambles the directory to noise
}

TEST(DamagedDirectory, TruncatedDirectoryIsRefused) {
    Bytes archive = goodArchive();
    for (std::size_t size = 20; size < directoryEnd(archive); ++size) {
        expectRefused(cut(archive, size));
    }
}

TEST(DamagedDirectory, AnyFlippedByteFailsCleanly) {
    Bytes archive = goodArchive();
    for (std::size_t at = 20; at < directoryEnd(archive); ++at) {
        for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
            Bytes damaged = archive;
            damaged[at] ^= mask;
            readEverything(damaged);  // neither crashes nor throws anything but HpiError
        }
    }
}

TEST(DamagedDirectory, FieldsPointingOutsideTheirBoundsAreRefused) {
    Bytes archive = goodArchive();
    std::uint32_t end = directoryEnd(archive);
    auto stored = LayoutOf(archive, "c.stored");
    auto zlib = LayoutOf(archive, "a.zlib");
    auto size = static_cast<std::uint32_t>(archive.size());
    struct Edit {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    for (Edit edit : {Edit{"absurd entry count", 20, 0xFFFFFFFF},
                      Edit{"one entry more than fits", 20, (end - 28) / 9 + 1},
                      Edit{"entries past the block", 24, end}, Edit{"entries in the header", 24, 4},
                      Edit{"name past the block", kFirstEntry, 0xFFFFFF00},
                      Edit{"name without terminator", kFirstEntry, end - 1},
                      Edit{"file record past the block", kFirstEntry + 4, end - 4},
                      Edit{"stored data past the end", stored.record + 4, size},
                      Edit{"stored data starting near the end", stored.record, size - 100},
                      Edit{"chunk table past the end", zlib.record + 4, 0xFFFFFFFF},
                      Edit{"cycle back to the root", kSubEntry + 4, 20}}) {
        SCOPED_TRACE(edit.what);
        expectRefused(with32(archive, edit.at, edit.value));
    }
    Bytes unknownCompression = archive;
    unknownCompression[zlib.record + 8] = 3;
    expectRefused(unknownCompression);
}

TEST(DamagedDirectory, SharedOrDuplicateEntriesAreRefused) {
    Bytes archive = goodArchive();
    // Two entries naming one directory record would let a small block stand
    // for an exponentially large tree.
    Bytes shared = with32(archive, kFirstEntry + 4, LoadU32(archive.data() + kSubEntry + 4));
    shared[kFirstEntry + 8] = 1;
    expectRefused(shared);
    // "b.lz77" renamed "A.ZLIB": a path must name one entry.
    Bytes duplicate = archive;
    std::copy_n("A.ZLIB", 6, duplicate.begin() + LoadU32(archive.data() + kFirstEntry + 9));
    expectRefused(duplicate);
}

TEST(DamagedDirectory, EndlessNestingIsRefused) {
    // 300 directories, each holding the next under the name "a".
    Bytes archive(20, 0);
    for (std::uint32_t i = 0; i < 300; ++i) {
        auto record = static_cast<std::uint32_t>(archive.size());
        Bytes level(19, 0);
        StoreU32(level.data(), 1);
        StoreU32(level.data() + 4, record + 8);
        StoreU32(level.data() + 8, record + 17);
        StoreU32(level.data() + 12, record + 19);
        level[16] = 1;
        level[17] = 'a';
        archive.insert(archive.end(), level.begin(), level.end());
    }
    archive.resize(archive.size() + 8);  // an empty directory ends the chain
    std::copy_n("HAPI", 4, archive.begin());
    archive = with32(archive, 4, 0x00010000);
    archive = with32(archive, 8, static_cast<std::uint32_t>(archive.size()));
    expectRefused(with32(archive, 16, 20));
}

TEST(DamagedData, TruncatedChunkIsRefused) {
    Bytes archive = goodArchive();
    auto good = readEverything(archive);
    auto zlib = LayoutOf(archive, "a.zlib");
    std::size_t secondChunk = zlib.firstChunk + LoadU32(archive.data() + zlib.data);
    for (std::size_t size : {zlib.firstChunk + 5, secondChunk - 1, secondChunk + 19}) {
        auto files = readEverything(cut(archive, size));
        if (files) {
            EXPECT_FALSE(files->at("a.zlib")) << "cut at " << size;
        }
    }
    // Wherever the data is cut, no file comes back with wrong bytes.
    for (std::size_t size = directoryEnd(archive); size < archive.size(); size += 211) {
        auto files = readEverything(cut(archive, size));
        if (!files) continue;
        for (const auto& [path, data] : *files) {
            if (data) {
                EXPECT_EQ(*data, *good->at(path)) << path << " cut at " << size;
            }
        }
    }
    EXPECT_EQ(readEverything(cut(archive, archive.size() - 36)), good);  // the trailer is unused
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
    auto zlib = LayoutOf(archive, "a.zlib");
    for (std::uint32_t size : {0u, 18u, LoadU32(archive.data() + zlib.data) + 1, 0xFFFFFFF0u}) {
        expectExtractionRefused(with32(archive, zlib.data, size), "a.zlib");  // the chunk table
    }
}

TEST(DamagedData, FlippedPayloadByteIsRefused) {
    Bytes archive = goodArchive();
    for (const char* name : {"a.zlib", "b.lz77"}) {
        Bytes damaged = archive;
        damaged[LayoutOf(archive, name).firstChunk + 100] ^= 0x10;
        expectExtractionRefused(damaged, name);  // by the checksum
    }
    // With the checksum repaired, zlib's own check still catches it.
    auto zlib = LayoutOf(archive, "a.zlib");
    std::size_t at = zlib.firstChunk + 100;
    std::uint32_t checksum = LoadU32(archive.data() + zlib.firstChunk + 15);
    Bytes damaged =
        with32(archive, zlib.firstChunk + 15, checksum - archive[at] + (archive[at] ^ 0x10));
    damaged[at] ^= 0x10;
    expectExtractionRefused(damaged, "a.zlib");
}

// LZ77 payloads carry no check of their own: a stream that breaks the
// decoder's rules must fail even behind a valid checksum.
TEST(DamagedData, BrokenLz77StreamsAreRefused) {
    for (const Bytes& payload : {Bytes{0x00, 'a', 'b', 'c'},                // no end marker
                                 Bytes{0x02, 'a', 0x1F, 0x00, 0x00, 0x00},  // overruns the chunk
                                 Bytes{0x02, 'a', 0x00, 0x00},              // ends early
                                 Bytes(4000, 0x00)}) {                      // never ends
        HpiWriter writer;
        writer.setLz77Compressor([&](std::span<const std::uint8_t>) { return payload; });
        writer.addFile("bad.lz77", Bytes(5, 'a'), {HpiCompression::Lz77, false});
        expectExtractionRefused(writer.build(), "bad.lz77");
    }
}

}  // namespace

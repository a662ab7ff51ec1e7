// The byte layout itself: an archive assembled by hand from the format's
// rules is read, and the writer's output has the layout and trailer that the
// game and the usual packers produce.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "base/ByteStream.h"
#include "tests/archive/HpiTestSupport.h"

using namespace kloxmere;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    StoreU32(bytes.data() + at, value);
}
void putText(Bytes& bytes, std::size_t at, std::string_view text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}
std::string textAt(const Bytes& bytes, std::size_t at, std::size_t size) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
}

TEST(HpiFormat, ArchiveAssembledByHandIsRead) {
    // HeaderKey 0x1234567D: only 0x7D counts, K = 0xF5. Unusual on purpose:
    // names before the entries, a gap after the root record, unsorted entries.
    Bytes archive(200, 0);
    putText(archive, 0, "HAPI");
    put32(archive, 4, 0x00010000);
    put32(archive, 8, 110);
    put32(archive, 12, 0x1234567D);
    put32(archive, 16, 20);
    put32(archive, 20, 2);  // root: two entries at 60
    put32(archive, 24, 60);
    putText(archive, 32, "Stored.TXT");
    putText(archive, 43, "lz.bin");
    for (std::uint32_t entry : {0u, 1u}) {
        put32(archive, 60 + 9 * entry, entry == 0 ? 32 : 43);
        put32(archive, 64 + 9 * entry, 78 + 9 * entry);  // file records at 78 and 87
    }
    put32(archive, 78, 110);  // "hello", stored at 110
    put32(archive, 82, 5);
    putText(archive, 110, "hello");
    put32(archive, 87, 115);  // 9 bytes in LZ77, chunk table at 115
    put32(archive, 91, 9);
    archive[95] = 1;

    // "ababababz": two literals, two references ((1 << 4) | 2 copies 4 bytes
    // from window index 1, overlapping its own output; (3 << 4) copies 2),
    // a literal and the end marker; chunk-scrambled.
    const Bytes plain = {0x2C, 'a', 'b', 0x12, 0x00, 0x30, 0x00, 'z', 0x00, 0x00};
    std::size_t chunk = 119;
    std::uint32_t checksum = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        archive[chunk + 19 + i] = static_cast<std::uint8_t>((plain[i] ^ i) + i);
        checksum += archive[chunk + 19 + i];
    }
    put32(archive, 115, static_cast<std::uint32_t>(19 + plain.size()));
    putText(archive, chunk, "SQSH");
    archive[chunk + 4] = 2;
    archive[chunk + 5] = 1;
    archive[chunk + 6] = 1;
    put32(archive, chunk + 7, static_cast<std::uint32_t>(plain.size()));
    put32(archive, chunk + 11, 9);
    put32(archive, chunk + 15, checksum);
    archive.resize(chunk + 19 + plain.size());
    for (std::size_t p = 20; p < archive.size(); ++p) archive[p] ^= 0xF5 ^ (p & 0xFF);

    auto opened = HpiArchive::fromMemory(archive);
    auto files = opened->listFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].path, "Stored.TXT");  // stored order, not sorted
    EXPECT_EQ(files[1].compression, HpiCompression::Lz77);
    Bytes hello = opened->extract("stored.txt"), lz = opened->extract("LZ.BIN");
    EXPECT_EQ(std::string(hello.begin(), hello.end()), "hello");
    EXPECT_EQ(std::string(lz.begin(), lz.end()), "ababababz");
}

TEST(HpiWriterLayout, FollowsTheUsualPackers) {
    HpiWriter writer(0x7D);
    writer.addFile("b.txt", test::SampleBytes(70000));
    writer.addFile("A\\c.txt", test::SampleBytes(10));
    Bytes plain = writer.build();
    for (std::size_t p = 20; p + 36 < plain.size(); ++p) plain[p] ^= 0xF5 ^ (p & 0xFF);

    EXPECT_EQ(textAt(plain, 0, 4), "HAPI");
    EXPECT_EQ(LoadU32(plain.data() + 4), 0x00010000u);
    EXPECT_EQ(LoadU32(plain.data() + 12), 0x7Du);  // upper bytes zero
    EXPECT_EQ(LoadU32(plain.data() + 16), 20u);
    // Root record and its entries ("A" sorts before "b"), then per entry its
    // name and its sub-directory or file record: A, A's entry c.txt, b.txt.
    EXPECT_EQ(LoadU32(plain.data() + 20), 2u);
    EXPECT_EQ(LoadU32(plain.data() + 24), 28u);
    EXPECT_EQ(LoadU32(plain.data() + 28), 46u);
    EXPECT_EQ(textAt(plain, 46, 2), std::string("A\0", 2));
    EXPECT_EQ(LoadU32(plain.data() + 32), 48u);
    EXPECT_EQ(plain[36], 1);
    EXPECT_EQ(LoadU32(plain.data() + 48), 1u);
    EXPECT_EQ(LoadU32(plain.data() + 56), 65u);  // "c.txt" after A's record and entry
    EXPECT_EQ(LoadU32(plain.data() + 37), 80u);  // "b.txt" after c.txt's file record
    EXPECT_EQ(plain[45], 0);
    std::uint32_t directoryEnd = LoadU32(plain.data() + 8);
    EXPECT_EQ(directoryEnd, 86u + 9u);
    // File data in directory order right after the block, zlib by default.
    EXPECT_EQ(LoadU32(plain.data() + 71), directoryEnd);
    std::uint32_t bData = LoadU32(plain.data() + 86);
    EXPECT_EQ(plain[94], 2);
    std::size_t chunk = bData + 8;
    for (std::uint32_t expected : {65536u, 70000u - 65536u}) {
        std::uint32_t onDisk = LoadU32(plain.data() + bData + (expected == 65536 ? 0 : 4));
        EXPECT_EQ(textAt(plain, chunk, 7), std::string("SQSH\2\2\0", 7));
        EXPECT_EQ(LoadU32(plain.data() + chunk + 7), onDisk - 19);  // exact chunk table
        EXPECT_EQ(LoadU32(plain.data() + chunk + 11), expected);
        chunk += onDisk;
    }
    EXPECT_EQ(chunk + 36, plain.size());  // then only the trailer
}

TEST(HpiWriterLayout, TrailerIsTheCopyrightLineWithTheCurrentYear) {
    using namespace std::chrono;
    auto year = static_cast<int>(year_month_day{floor<days>(system_clock::now())}.year());
    HpiWriter writer;
    Bytes archive = writer.build();
    EXPECT_EQ(archive.size(), 20u + 8u + 36u);  // an empty archive is still complete
    EXPECT_EQ(textAt(archive, archive.size() - 36, 36),
              "Copyright " + std::to_string(year) + " Cavedog Entertainment");
    writer.setTrailerYear("1997");
    archive = writer.build();
    EXPECT_EQ(textAt(archive, archive.size() - 36, 36), "Copyright 1997 Cavedog Entertainment");
    EXPECT_THROW(writer.setTrailerYear("97"), HpiError);
}

TEST(HpiWriterPaths, PathsTheArchiveCannotHoldAreRefused) {
    HpiWriter writer;
    writer.addFile("units\\ARMCOM.FBI", {1});
    for (const std::string& bad :
         std::vector<std::string>{"", "\\a.txt", "a.txt\\", "a\\\\b.txt", "units/armcom.fbi",
                                  "units", "units\\ARMCOM.FBI\\inner", "snow\xE2\x98\x83.txt",
                                  std::string("nul\0.txt", 8), std::string(260, 'a')}) {
        EXPECT_THROW(writer.addFile(bad, {1}), HpiError) << bad;
    }
    std::string deepest;  // the longest path the game can use, nested as deep as it goes
    for (int level = 0; level < 129; ++level) deepest += "a\\";
    writer.addFile(deepest + "b", {1});
    EXPECT_THROW(writer.addFile("x.lz", {1}, {HpiCompression::Lz77, false}), HpiError);
    auto archive = HpiArchive::fromMemory(writer.build());
    EXPECT_EQ(archive->listFiles().size(), 2u);
    EXPECT_EQ(archive->extract(deepest + "b"), Bytes{1});
}

}  // namespace

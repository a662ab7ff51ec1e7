// The byte layout itself: an archive assembled by hand from the format's
// rules is read, and the writer's output has the layout and trailer the game
// and the usual packers expect.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "tests/archive/HpiTestSupport.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    StoreU32(bytes.data() + at, value);
}
void putText(Bytes& bytes, std::size_t at, std::string_view text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

TEST(HpiFormat, ArchiveAssembledByHandIsRead) {
    // Key byte 0x7D (the upper bytes of HeaderKey do not count): K = 0xF5.
    // The layout is unusual on purpose: names before entries, a gap after the
    // root record, the entries out of alphabetical order.
    Bytes archive(200, 0);
    putText(archive, 0, "HAPI");
    put32(archive, 4, 0x00010000);
    put32(archive, 8, 110);  // DirectorySize
    put32(archive, 12, 0x1234567D);
    put32(archive, 16, 20);
    put32(archive, 20, 2);  // root: two entries at 60
    put32(archive, 24, 60);
    putText(archive, 32, "Stored.TXT");  // names at 32 and 43
    putText(archive, 43, "lz.bin");
    put32(archive, 60, 32);  // entry 0: file record at 78
    put32(archive, 64, 78);
    archive[68] = 0;
    put32(archive, 69, 43);  // entry 1: file record at 87
    put32(archive, 73, 87);
    archive[77] = 0;
    put32(archive, 78, 110);  // stored "hello" at 110
    put32(archive, 82, 5);
    archive[86] = 0;
    put32(archive, 87, 115);  // LZ77, 9 bytes, chunk table at 115
    put32(archive, 91, 9);
    archive[95] = 1;
    putText(archive, 110, "hello");

    // One chunk: "ababababz" as literals and two references, chunk-scrambled.
    const Bytes plain = {0x2C, 'a', 'b', 0x12, 0x00, 0x30, 0x00, 'z', 0x00, 0x00};
    Bytes payload;
    std::uint32_t checksum = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        payload.push_back(static_cast<std::uint8_t>((plain[i] ^ i) + i));
        checksum += payload.back();
    }
    put32(archive, 115, static_cast<std::uint32_t>(19 + payload.size()));
    std::size_t chunk = 119;
    putText(archive, chunk, "SQSH");
    archive[chunk + 4] = 2;
    archive[chunk + 5] = 1;
    archive[chunk + 6] = 1;
    put32(archive, chunk + 7, static_cast<std::uint32_t>(payload.size()));
    put32(archive, chunk + 11, 9);
    put32(archive, chunk + 15, checksum);
    std::copy(payload.begin(), payload.end(), archive.begin() + chunk + 19);
    std::size_t dataEnd = chunk + 19 + payload.size();
    for (std::size_t p = 20; p < dataEnd; ++p)
        archive[p] ^= static_cast<std::uint8_t>(0xF5 ^ (p & 0xFF));
    archive.resize(dataEnd);

    auto opened = HpiArchive::fromMemory(archive);
    auto files = opened->listFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].path, "Stored.TXT");
    EXPECT_EQ(files[0].compression, HpiCompression::Stored);
    EXPECT_EQ(files[1].path, "lz.bin");
    EXPECT_EQ(files[1].compression, HpiCompression::Lz77);
    Bytes hello = opened->extract("stored.txt");
    EXPECT_EQ(std::string(hello.begin(), hello.end()), "hello");
    Bytes lz = opened->extract("LZ.BIN");
    EXPECT_EQ(std::string(lz.begin(), lz.end()), "ababababz");
}

TEST(HpiWriterLayout, FollowsTheUsualPackers) {
    HpiWriter writer(0x7D);
    writer.addFile("b.txt", test::SampleBytes(70000));
    writer.addFile("A\\c.txt", test::SampleBytes(10));
    Bytes archive = writer.build();
    std::uint8_t key = 0xF5;
    Bytes plain = archive;
    for (std::size_t p = 20; p + 36 < plain.size(); ++p)
        plain[p] ^= static_cast<std::uint8_t>(key ^ (p & 0xFF));

    EXPECT_EQ(std::string(plain.begin(), plain.begin() + 4), "HAPI");
    EXPECT_EQ(LoadU32(plain.data() + 4), 0x00010000u);
    EXPECT_EQ(LoadU32(plain.data() + 12), 0x7Du);  // the key byte, upper bytes zero
    EXPECT_EQ(LoadU32(plain.data() + 16), 20u);

    // Root record at 20 with its entries right behind it: "A" before "b".
    EXPECT_EQ(LoadU32(plain.data() + 20), 2u);
    EXPECT_EQ(LoadU32(plain.data() + 24), 28u);
    std::size_t names = 28 + 2 * 9;
    EXPECT_EQ(LoadU32(plain.data() + 28), names);  // "A"
    EXPECT_EQ(plain[names], 'A');
    EXPECT_EQ(plain[names + 1], 0);
    EXPECT_EQ(LoadU32(plain.data() + 32), names + 2);  // A's record follows its name
    EXPECT_EQ(plain[36], 1);
    // A's record and entry, its name "c.txt" and file record, then "b.txt".
    std::size_t aRecord = names + 2;
    EXPECT_EQ(LoadU32(plain.data() + aRecord), 1u);
    EXPECT_EQ(LoadU32(plain.data() + aRecord + 4), aRecord + 8);
    std::size_t cName = aRecord + 8 + 9;
    EXPECT_EQ(LoadU32(plain.data() + aRecord + 8), cName);
    std::size_t bName = cName + 6 + 9;
    EXPECT_EQ(LoadU32(plain.data() + 37), bName);
    EXPECT_EQ(plain[45], 0);
    std::size_t bRecord = bName + 6;
    std::uint32_t directoryEnd = LoadU32(plain.data() + 8);
    EXPECT_EQ(directoryEnd, bRecord + 9);

    // File data in directory order right after the block: A\c.txt, then b.txt.
    std::uint32_t cData = LoadU32(plain.data() + cName + 6);
    std::uint32_t bData = LoadU32(plain.data() + bRecord);
    EXPECT_EQ(cData, directoryEnd);
    EXPECT_LT(cData, bData);
    EXPECT_EQ(LoadU32(plain.data() + bRecord + 4), 70000u);
    EXPECT_EQ(plain[bRecord + 8], 2);  // zlib by default

    // b.txt: two chunks whose table sizes are exact, version 2, zlib, not scrambled.
    std::size_t chunk = bData + 8;
    for (int k = 0; k < 2; ++k) {
        std::uint32_t onDisk = LoadU32(plain.data() + bData + 4 * static_cast<std::size_t>(k));
        EXPECT_EQ(std::string(plain.begin() + static_cast<std::ptrdiff_t>(chunk),
                              plain.begin() + static_cast<std::ptrdiff_t>(chunk) + 4),
                  "SQSH");
        EXPECT_EQ(plain[chunk + 4], 2);
        EXPECT_EQ(plain[chunk + 5], 2);
        EXPECT_EQ(plain[chunk + 6], 0);
        EXPECT_EQ(LoadU32(plain.data() + chunk + 7), onDisk - 19);
        EXPECT_EQ(LoadU32(plain.data() + chunk + 11), k == 0 ? 65536u : 70000u - 65536u);
        EXPECT_EQ(plain[chunk + 19] & 0x0F, 8);  // a zlib stream: deflate method
        chunk += onDisk;
    }
    EXPECT_EQ(chunk + 36, archive.size());  // nothing between the data and the trailer
}

TEST(HpiWriterLayout, TrailerIsTheCopyrightLineWithTheCurrentYear) {
    using namespace std::chrono;
    auto year =
        std::to_string(static_cast<int>(year_month_day{floor<days>(system_clock::now())}.year()));
    HpiWriter writer;
    writer.addFile("a.txt", test::SampleBytes(5));
    Bytes archive = writer.build();
    ASSERT_GE(archive.size(), 36u);
    EXPECT_EQ(std::string(archive.end() - 36, archive.end()),
              "Copyright " + year + " Cavedog Entertainment");

    writer.setTrailerYear("1997");
    archive = writer.build();
    EXPECT_EQ(std::string(archive.end() - 36, archive.end()),
              "Copyright 1997 Cavedog Entertainment");
    EXPECT_THROW(writer.setTrailerYear("97"), HpiError);

    HpiWriter empty;
    Bytes nothing = empty.build();  // an archive without files is still complete
    EXPECT_EQ(nothing.size(), 20u + 8u + 36u);
    EXPECT_TRUE(HpiArchive::fromMemory(nothing)->listFiles().empty());
}

TEST(HpiWriterLayout, EntriesAreSortedWithoutRegardToCase) {
    HpiWriter writer;
    for (const char* name :
         {"zeta.txt", "Beta.txt", "alpha.txt", "ALPHA2.txt", "Units\\x", "b\\y"}) {
        writer.addFile(name, test::SampleBytes(3));
    }
    auto archive = HpiArchive::fromMemory(writer.build());
    std::vector<std::string> names;
    for (const auto& entry : *archive->listDirectory(""))
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"alpha.txt", "ALPHA2.txt", "b", "Beta.txt", "Units",
                                               "zeta.txt"}));
}

TEST(HpiWriterPaths, PathsTheArchiveCannotHoldAreRefused) {
    HpiWriter writer;
    writer.addFile("units\\ARMCOM.FBI", {1});
    for (const std::string& bad : std::vector<std::string>{
             "", "\\a.txt", "a.txt\\", "a\\\\b.txt", "units/armcom.fbi", "UNITS\\armcom.FBI",
             "units\\ARMCOM.FBI\\inner", "units", "snow\xE2\x98\x83.txt",
             std::string("nul\0.txt", 8), std::string(260, 'a')}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(writer.addFile(bad, {1}), HpiError);
    }
    writer.addFile(std::string(259, 'b'), {1});  // the longest path the game can use
    EXPECT_THROW(writer.addFile("x.lz", {1}, {HpiCompression::Lz77, false}), HpiError);
    EXPECT_EQ(HpiArchive::fromMemory(writer.build())->listFiles().size(), 2u);
}

TEST(HpiWriterFiles, WriteReplacesTheTargetOnlyWhenComplete) {
    test::TempDir dir;
    dir.write("mod.ufo", "old");
    HpiWriter writer;
    writer.addFile("a.txt", test::SampleBytes(10));
    writer.write(dir.path() / "mod.ufo");
    EXPECT_EQ(dir.read("mod.ufo"), writer.build());
    EXPECT_THROW(writer.write(dir.path() / "missing" / "mod.ufo"), FileError);
    EXPECT_FALSE(dir.exists("missing"));
}

}  // namespace

#include "archive/modHPIUtil.h"

#include <gtest/gtest.h>

#include <thread>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "tests/archive/HpiTestSupport.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::SampleBytes;
using kloxmere::test::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;

// rev.hpi: units\ARMCOM.FBI, units\corcom.fbi, units\Sub\deep.fbi, weapons\weapons.tdf.
class LibraryTest : public testing::Test {
  protected:
    void SetUp() override {
        HpiWriter writer;
        writer.addFile("units\\ARMCOM.FBI", SampleBytes(100, 1));
        writer.addFile("units\\corcom.fbi", SampleBytes(200000, 2));
        writer.addFile("units\\Sub\\deep.fbi", SampleBytes(5, 3));
        writer.addFile("weapons\\weapons.tdf", SampleBytes(50, 4));
        writer.write(m_dir.path() / "rev.hpi");
    }

    std::string archive() const { return m_dir.file("rev.hpi"); }

    struct Walked {
        std::string name;
        std::int32_t kind;
        std::int32_t size;
    };
    std::vector<Walked> walk(std::int32_t handle, const std::string& dir) {
        std::vector<Walked> entries;
        std::string buffer(255, ' ');
        std::int32_t kind = -1, size = -1;
        for (std::int32_t next = HPIDir(handle, 0, dir, buffer, kind, size); next != 0;
             next = HPIDir(handle, next, dir, buffer, kind, size)) {
            entries.push_back({TrimAtNull(buffer), kind, size});
            buffer.assign(255, ' ');
            if (entries.size() > 100)
                break;
        }
        return entries;
    }

    TempDir m_dir;
};

TEST_F(LibraryTest, OpenGivesDistinctHandlesAndZeroForWhatIsNoArchive) {
    std::int32_t a = HPIOpen(archive());
    std::int32_t b = HPIOpen(archive());
    EXPECT_NE(a, 0);
    EXPECT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(HPIClose(a), 0);
    EXPECT_EQ(HPIClose(b), 0);

    m_dir.write("broken.hpi", "HAPI and nothing useful");
    EXPECT_EQ(HPIOpen(m_dir.file("broken.hpi")), 0);
    EXPECT_EQ(HPIOpen(m_dir.file("missing.hpi")), 0);
    EXPECT_EQ(HPIOpen(m_dir.str()), 0);
    EXPECT_EQ(HPIOpen(""), 0);
}

TEST_F(LibraryTest, DirWalksTheDirectEntriesOfOneDirectory) {
    std::int32_t handle = HPIOpen(archive());
    auto units = walk(handle, "units");
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0].name, "ARMCOM.FBI");
    EXPECT_EQ(units[0].kind, 0);
    EXPECT_EQ(units[0].size, 100);
    EXPECT_EQ(units[1].name, "corcom.fbi");
    EXPECT_EQ(units[1].size, 200000);
    EXPECT_EQ(units[2].name, "Sub");
    EXPECT_EQ(units[2].kind, 1);

    EXPECT_EQ(walk(handle, "UNITS").size(), 3u);
    EXPECT_EQ(walk(handle, "units\\sub").size(), 1u);
    EXPECT_EQ(walk(handle, "").size(), 2u);  // the root: units and weapons
    HPIClose(handle);
}

TEST_F(LibraryTest, DirOnAMissingDirectoryOrHandleEndsAtOnce) {
    std::int32_t handle = HPIOpen(archive());
    std::string buffer(255, ' ');
    std::int32_t kind = 0, size = 0;
    EXPECT_EQ(HPIDir(handle, 0, "download", buffer, kind, size), 0);
    EXPECT_EQ(HPIDir(handle, 0, "units\\ARMCOM.FBI", buffer, kind, size), 0);
    EXPECT_EQ(HPIDir(handle, 99, "units", buffer, kind, size), 0);
    EXPECT_EQ(HPIDir(handle, -1, "units", buffer, kind, size), 0);
    EXPECT_EQ(buffer, std::string(255, ' '));
    HPIClose(handle);
    EXPECT_EQ(HPIDir(handle, 0, "units", buffer, kind, size), 0);
    EXPECT_EQ(HPIDir(0, 0, "units", buffer, kind, size), 0);
}

TEST_F(LibraryTest, ExtractFileWritesTheFileOrNothingAtAll) {
    std::int32_t handle = HPIOpen(archive());
    EXPECT_EQ(HPIExtractFile(handle, "UNITS/corcom.FBI", m_dir.file("temp.fbi")), 1);
    EXPECT_EQ(m_dir.read("temp.fbi"), SampleBytes(200000, 2));

    EXPECT_EQ(HPIExtractFile(handle, "units\\missing.fbi", m_dir.file("none.fbi")), 0);
    EXPECT_FALSE(m_dir.exists("none.fbi"));
    EXPECT_EQ(HPIExtractFile(handle, "units\\Sub", m_dir.file("none.fbi")), 0);
    EXPECT_FALSE(m_dir.exists("none.fbi"));
    EXPECT_EQ(HPIExtractFile(handle, "units\\ARMCOM.FBI", m_dir.file("no/such/dir.fbi")), 0);

    // A failed extraction leaves an existing destination as it was.
    EXPECT_EQ(HPIExtractFile(handle, "units\\missing.fbi", m_dir.file("temp.fbi")), 0);
    EXPECT_EQ(m_dir.read("temp.fbi"), SampleBytes(200000, 2));

    Bytes bytes;
    EXPECT_EQ(HPIExtractToMemory(handle, "units\\sub\\DEEP.fbi", bytes), 1);
    EXPECT_EQ(bytes, SampleBytes(5, 3));
    EXPECT_EQ(HPIExtractToMemory(handle, "nothing", bytes), 0);
    HPIClose(handle);
    EXPECT_EQ(HPIExtractFile(handle, "units\\ARMCOM.FBI", m_dir.file("late.fbi")), 0);
    EXPECT_FALSE(m_dir.exists("late.fbi"));
}

TEST_F(LibraryTest, ExtractFromADamagedFileCreatesNoDestination) {
    auto bytes = m_dir.read("rev.hpi");
    bytes[bytes.size() - 37] ^= 0xFF;  // the last payload byte before the trailer
    m_dir.write("damaged.hpi", bytes);
    std::int32_t handle = HPIOpen(m_dir.file("damaged.hpi"));
    ASSERT_NE(handle, 0);
    EXPECT_EQ(HPIExtractFile(handle, "weapons\\weapons.tdf", m_dir.file("out.tdf")), 0);
    EXPECT_FALSE(m_dir.exists("out.tdf"));
    HPIClose(handle);
}

int g_callbackCalls = 0;
std::int32_t countingCallback(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                              std::int32_t, std::int32_t, std::int32_t) {
    ++g_callbackCalls;
    return 0;
}

TEST_F(LibraryTest, CreateAddAndPackWriteANewArchive) {
    m_dir.write("src/unit.fbi", "[UNITINFO]");
    m_dir.write("src/unit.cob", "script");
    std::string target = m_dir.file("arm_klox.ufo");
    std::int32_t handle = HPICreate(target, countingCallback);
    ASSERT_NE(handle, 0);
    EXPECT_NE(HPIAddFile(handle, "units\\armKLOX.fbi", m_dir.file("src/unit.fbi")), 0);
    EXPECT_NE(HPIAddFile(handle, "scripts\\armKLOX.cob", m_dir.file("src/unit.cob")), 0);
    EXPECT_EQ(HPIAddFile(handle, "UNITS\\ARMKLOX.FBI", m_dir.file("src/unit.fbi")), 0);
    EXPECT_EQ(HPIAddFile(handle, "units\\gone.fbi", m_dir.file("src/missing.fbi")), 0);
    EXPECT_FALSE(m_dir.exists("arm_klox.ufo"));  // nothing is written before packing
    g_callbackCalls = 0;
    EXPECT_NE(HPIPackArchive(handle, 0), 0);
    EXPECT_EQ(g_callbackCalls, 1);
    EXPECT_EQ(HPIPackArchive(handle, 0), 0);  // the handle ended with the pack

    auto packed = HpiArchive::open(target);
    auto files = packed->listFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].path, "scripts\\armKLOX.cob");
    EXPECT_EQ(files[0].compression, HpiCompression::Zlib);
    Bytes fbi = packed->extract("units\\armKLOX.fbi");
    EXPECT_EQ(std::string(fbi.begin(), fbi.end()), "[UNITINFO]");
}

TEST_F(LibraryTest, CreateRefusesWhereNoArchiveCanBeWritten) {
    EXPECT_EQ(HPICreate("", nullptr), 0);
    EXPECT_EQ(HPICreate(m_dir.file("missing/a.ufo"), nullptr), 0);
    EXPECT_EQ(HPICreate(m_dir.str(), nullptr), 0);
    std::int32_t reading = HPIOpen(archive());
    EXPECT_EQ(HPIAddFile(reading, "a.txt", archive()), 0);  // not a handle being built
    EXPECT_EQ(HPIPackArchive(reading, 0), 0);
    HPIClose(reading);

    std::int32_t abandoned = HPICreate(m_dir.file("abandoned.ufo"), nullptr);
    EXPECT_EQ(HPIClose(abandoned), 0);
    EXPECT_EQ(HPIPackArchive(abandoned, 0), 0);
    EXPECT_FALSE(m_dir.exists("abandoned.ufo"));
}

TEST_F(LibraryTest, ThreadsUseTheirOwnAndSharedHandles) {
    std::int32_t shared = HPIOpen(archive());
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                std::int32_t own = HPIOpen(archive());
                Bytes bytes;
                if (HPIExtractToMemory(own, "units\\corcom.fbi", bytes) != 1 ||
                    bytes != SampleBytes(200000, 2)) {
                    ++failures[static_cast<std::size_t>(t)];
                }
                if (HPIExtractToMemory(shared, "units\\ARMCOM.FBI", bytes) != 1 ||
                    bytes != SampleBytes(100, 1)) {
                    ++failures[static_cast<std::size_t>(t)];
                }
                HPIClose(own);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
    HPIClose(shared);
}

TEST(LibraryStrings, BytesToStringStopsAtTheFirstZeroOrTheBufferEnd) {
    std::array<char, 256> buffer{};
    EXPECT_EQ(BytesToString(buffer), "");
    std::copy_n("C:\\TA\\", 6, buffer.begin());
    EXPECT_EQ(BytesToString(buffer), "C:\\TA\\");
    buffer.fill('a');
    EXPECT_EQ(BytesToString(buffer), std::string(256, 'a'));
}

TEST(LibraryStrings, TrimAtNullCutsAtNulOrTrimsTrailingBlanks) {
    EXPECT_EQ(TrimAtNull(std::string("ARMCOM.FBI\0  junk", 17)), "ARMCOM.FBI");
    EXPECT_EQ(TrimAtNull(std::string(" a b \0", 6)), " a b ");  // blanks before the NUL stay
    EXPECT_EQ(TrimAtNull("name   "), "name");
    EXPECT_EQ(TrimAtNull(std::string(255, ' ')), "");
    EXPECT_EQ(TrimAtNull(""), "");
}

}  // namespace

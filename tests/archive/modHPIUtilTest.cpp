#include "archive/modHPIUtil.h"

#include <gtest/gtest.h>

#include <thread>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "base/FileSystem.h"
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
        m_archive = m_dir.file("rev.hpi");
    }

    // "name kind size" of each entry HPIDir walks through.
    std::vector<std::string> walk(std::int32_t handle, const std::string& dir) {
        std::vector<std::string> entries;
        std::string buffer(255, ' ');
        std::int32_t kind = -1, size = -1;
        for (std::int32_t next = HPIDir(handle, 0, dir, buffer, kind, size);
             next != 0 && entries.size() < 100;
             next = HPIDir(handle, next, dir, buffer, kind, size)) {
            entries.push_back(TrimAtNull(buffer) + " " + std::to_string(kind) + " " +
                              std::to_string(size));
            buffer.assign(255, ' ');
        }
        return entries;
    }

    TempDir m_dir;
    std::string m_archive;
};

TEST_F(LibraryTest, OpenGivesDistinctHandlesAndZeroForWhatIsNoArchive) {
    std::int32_t a = HPIOpen(m_archive), b = HPIOpen(m_archive);
    EXPECT_NE(a, 0);
    EXPECT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(HPIClose(a), 0);
    EXPECT_EQ(HPIClose(b), 0);
    m_dir.write("broken.hpi", "HAPI and nothing useful");
    for (const std::string& path :
         {m_dir.file("broken.hpi"), m_dir.file("missing.hpi"), m_dir.str(), std::string()}) {
        EXPECT_EQ(HPIOpen(path), 0) << path;
    }
}

TEST_F(LibraryTest, DirWalksTheDirectEntriesOfOneDirectory) {
    std::int32_t handle = HPIOpen(m_archive);
    EXPECT_EQ(walk(handle, "units"),
              (std::vector<std::string>{"ARMCOM.FBI 0 100", "corcom.fbi 0 200000", "Sub 1 0"}));
    EXPECT_EQ(walk(handle, "UNITS\\sub"), std::vector<std::string>{"deep.fbi 0 5"});
    EXPECT_EQ(walk(handle, "").size(), 2u);

    // A missing directory, a file, a bad token or handle: 0 at once, buffer untouched.
    std::string buffer(255, ' ');
    std::int32_t kind = 0, size = 0;
    EXPECT_EQ(HPIDir(handle, 0, "download", buffer, kind, size), 0);
    EXPECT_EQ(HPIDir(handle, 0, "units\\ARMCOM.FBI", buffer, kind, size), 0);
    EXPECT_EQ(HPIDir(handle, 99, "units", buffer, kind, size), 0);
    EXPECT_EQ(HPIDir(handle, -1, "units", buffer, kind, size), 0);
    HPIClose(handle);
    EXPECT_EQ(HPIDir(handle, 0, "units", buffer, kind, size), 0);
    EXPECT_EQ(buffer, std::string(255, ' '));
}

TEST_F(LibraryTest, ExtractWritesTheWholeFileOrNothingAtAll) {
    std::int32_t handle = HPIOpen(m_archive);
    EXPECT_EQ(HPIExtractFile(handle, "UNITS/corcom.FBI", m_dir.file("temp.fbi")), 1);
    EXPECT_EQ(m_dir.read("temp.fbi"), SampleBytes(200000, 2));
    Bytes bytes;
    EXPECT_EQ(HPIExtractToMemory(handle, "units\\sub\\DEEP.fbi", bytes), 1);
    EXPECT_EQ(bytes, SampleBytes(5, 3));

    for (const char* missing : {"units\\missing.fbi", "units\\Sub", "nothing"}) {
        EXPECT_EQ(HPIExtractFile(handle, missing, m_dir.file("none.fbi")), 0);
        EXPECT_EQ(HPIExtractToMemory(handle, missing, bytes), 0);
    }
    EXPECT_EQ(HPIExtractFile(handle, "units\\ARMCOM.FBI", m_dir.file("no/dir/x.fbi")), 0);
    EXPECT_FALSE(m_dir.exists("none.fbi"));
    // A failed extraction leaves an existing destination as it was.
    EXPECT_EQ(HPIExtractFile(handle, "units\\missing.fbi", m_dir.file("temp.fbi")), 0);
    EXPECT_EQ(m_dir.read("temp.fbi"), SampleBytes(200000, 2));
    HPIClose(handle);
    EXPECT_EQ(HPIExtractFile(handle, "units\\ARMCOM.FBI", m_dir.file("late.fbi")), 0);

    // A damaged chunk: the last payload byte before the trailer.
    auto damaged = m_dir.read("rev.hpi");
    damaged[damaged.size() - 37] ^= 0xFF;
    m_dir.write("damaged.hpi", damaged);
    handle = HPIOpen(m_dir.file("damaged.hpi"));
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
    m_dir.write("unit.fbi", "[UNITINFO]");
    std::string target = m_dir.file("arm_klox.ufo");
    std::int32_t handle = HPICreate(target, countingCallback);
    ASSERT_NE(handle, 0);
    EXPECT_NE(HPIAddFile(handle, "units\\armKLOX.fbi", m_dir.file("unit.fbi")), 0);
    EXPECT_NE(HPIAddFile(handle, "scripts\\armKLOX.cob", m_archive), 0);
    EXPECT_EQ(HPIAddFile(handle, "UNITS\\ARMKLOX.FBI", m_dir.file("unit.fbi")), 0);  // twice
    EXPECT_EQ(HPIAddFile(handle, "units\\gone.fbi", m_dir.file("missing.fbi")), 0);
    EXPECT_FALSE(m_dir.exists("arm_klox.ufo"));  // nothing is written before packing
    EXPECT_NE(HPIPackArchive(handle, 0), 0);
    EXPECT_EQ(g_callbackCalls, 1);
    EXPECT_EQ(HPIPackArchive(handle, 0), 0);  // the handle ended with the pack

    auto packed = HpiArchive::open(PathFromUtf8(target));
    ASSERT_EQ(packed->listFiles().size(), 2u);
    EXPECT_EQ(packed->extract("units\\armKLOX.fbi"), m_dir.read("unit.fbi"));

    EXPECT_EQ(HPICreate("", nullptr), 0);
    EXPECT_EQ(HPICreate(m_dir.file("missing/a.ufo"), nullptr), 0);
    EXPECT_EQ(HPICreate(m_dir.str(), nullptr), 0);
    std::int32_t abandoned = HPICreate(m_dir.file("abandoned.ufo"), nullptr);
    EXPECT_EQ(HPIClose(abandoned), 0);
    EXPECT_EQ(HPIPackArchive(abandoned, 0), 0);
    EXPECT_FALSE(m_dir.exists("abandoned.ufo"));
    std::int32_t reading = HPIOpen(m_archive);
    EXPECT_EQ(HPIAddFile(reading, "a.txt", m_archive), 0);  // not an archive being built
    HPIClose(reading);
}

TEST_F(LibraryTest, ThreadsUseTheirOwnAndSharedHandles) {
    std::int32_t shared = HPIOpen(m_archive);
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                std::int32_t own = HPIOpen(m_archive);
                Bytes a, b;
                if (HPIExtractToMemory(own, "units\\corcom.fbi", a) != 1 ||
                    HPIExtractToMemory(shared, "units\\ARMCOM.FBI", b) != 1 ||
                    a != SampleBytes(200000, 2) || b != SampleBytes(100, 1)) {
                    ++failures[t];
                }
                HPIClose(own);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
    HPIClose(shared);
}

TEST(LibraryStrings, BytesToStringAndTrimAtNull) {
    std::array<char, 256> buffer{};
    EXPECT_EQ(BytesToString(buffer), "");
    std::copy_n("C:\\TA\\", 6, buffer.begin());
    EXPECT_EQ(BytesToString(buffer), "C:\\TA\\");
    buffer.fill('a');
    EXPECT_EQ(BytesToString(buffer), std::string(256, 'a'));  // no zero: all of it

    EXPECT_EQ(TrimAtNull(std::string("ARMCOM.FBI\0  junk", 17)), "ARMCOM.FBI");
    EXPECT_EQ(TrimAtNull(std::string(" a b \0", 6)), " a b ");  // blanks before the NUL stay
    EXPECT_EQ(TrimAtNull("name   "), "name");
    EXPECT_EQ(TrimAtNull(std::string(255, ' ')), "");
}

}  // namespace

#include "archive/clsHPI.h"

#include <gtest/gtest.h>

#include "archive/HpiWriter.h"
#include "tests/archive/HpiTestSupport.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::SampleBytes;
using kloxmere::test::TempDir;

namespace {

void writeArchive(const TempDir& dir, const char* name) {
    HpiWriter writer;
    writer.addFile("units\\ARMCOM.FBI", SampleBytes(10, 1));
    writer.addFile("units\\corcom.fbi", SampleBytes(20, 2));
    writer.addFile("units\\README", SampleBytes(3, 3));          // no dot: left out
    writer.addFile("units\\Sub\\deep.fbi", SampleBytes(5, 4));   // a sub-directory
    writer.addFile("units\\old.dir\\x.fbi", SampleBytes(5, 5));  // one with a dot
    writer.addFile("weapons\\Weapons.TDF", SampleBytes(30, 6));
    writer.write(dir.path() / name);
}

TEST(clsHPI, ListsAndExtractsTheFilesOfTheChosenDirectories) {
    TempDir dir;
    writeArchive(dir, "rev.hpi");
    clsHPI hpi;
    hpi.LoadFile(dir.file("rev.hpi"));
    ASSERT_NE(hpi.Handle, 0);
    hpi.CreateListing({"units", "weapons", "download"});
    EXPECT_EQ(hpi.Listing, (std::vector<std::string>{"units\\ARMCOM.FBI", "units\\corcom.fbi",
                                                     "weapons\\Weapons.TDF"}));
    hpi.CreateListing({"WEAPONS"});  // not cleared: listing again appends
    EXPECT_EQ(hpi.Listing.back(), "WEAPONS\\Weapons.TDF");

    EXPECT_EQ(hpi.ExtractFile("units\\armcom.fbi", dir.file("temp.fbi")), true);
    EXPECT_EQ(dir.read("temp.fbi"), SampleBytes(10, 1));
    EXPECT_EQ(hpi.ExtractFile("units\\nothing.fbi", dir.file("temp2.fbi")), false);
    EXPECT_FALSE(dir.exists("temp2.fbi"));
    hpi.CloseFile();
    EXPECT_EQ(hpi.Handle, 0);
}

TEST(clsHPI, EmptyNameReopensTheCurrentArchiveAndEmptiesTheListing) {
    TempDir dir;
    writeArchive(dir, "a.hpi");
    clsHPI hpi;
    hpi.LoadFile(dir.file("a.hpi"));
    hpi.CreateListing({"units"});
    hpi.CloseFile();
    hpi.LoadFile("");
    EXPECT_EQ(hpi.Filename, dir.file("a.hpi"));
    EXPECT_TRUE(hpi.Listing.empty());
    EXPECT_EQ(hpi.ExtractToMemory("units\\corcom.fbi"), SampleBytes(20, 2));
    hpi.CloseFile();
}

TEST(clsHPI, UnopenedArchiveListsAndExtractsNothing) {
    TempDir dir;
    clsHPI hpi;
    EXPECT_EQ(hpi.ExtractFile("units\\ARMCOM.FBI", dir.file("temp.fbi")), std::nullopt);
    hpi.LoadFile(dir.file("missing.hpi"));
    EXPECT_EQ(hpi.Filename, dir.file("missing.hpi"));
    EXPECT_EQ(hpi.Handle, 0);
    hpi.CreateListing({"units"});
    EXPECT_TRUE(hpi.Listing.empty());
    EXPECT_EQ(hpi.ExtractFile("units\\ARMCOM.FBI", dir.file("temp.fbi")), std::nullopt);
    EXPECT_EQ(hpi.ExtractToMemory("units\\ARMCOM.FBI"), std::nullopt);
    EXPECT_FALSE(dir.exists("temp.fbi"));
}

TEST(clsHPIEnabled, FourthCharacterFromTheEndDecides) {
    clsHPI hpi;
    for (const char* name :
         {"/ta/rev.hpi", "/ta/rev.ccx", "/ta/mod.ufo", "abc", "", "/ta/é.ufo", "/ta/mod.éhpi"}) {
        hpi.Filename = name;
        EXPECT_TRUE(hpi.Enabled()) << name;
    }
    for (const char* name :
         {"/ta/rev.xhpi", "/ta/REV.XCCX", "/ta/mod.xufo", "xufo", "/ta/x.xéüö"}) {
        hpi.Filename = name;
        EXPECT_FALSE(hpi.Enabled()) << name;
    }
}

struct RenameCase {
    const char* before;
    bool enable;
    const char* after;
};

class clsHPIRename : public testing::TestWithParam<RenameCase> {};

TEST_P(clsHPIRename, RenamesByTheFirstDotOfTheFileName) {
    const RenameCase& c = GetParam();
    TempDir dir;
    dir.write(c.before, "archive");
    clsHPI hpi;
    hpi.Filename = dir.file(c.before);
    EXPECT_TRUE(hpi.SetEnabled(c.enable));
    EXPECT_EQ(hpi.Filename, dir.file(c.after));
    EXPECT_TRUE(dir.exists(c.after));
    EXPECT_EQ(hpi.Enabled(), c.enable);
}

INSTANTIATE_TEST_SUITE_P(Names, clsHPIRename,
                         testing::Values(RenameCase{"rev.hpi", false, "rev.xhpi"},
                                         RenameCase{"rev.xufo", true, "rev.ufo"},
                                         RenameCase{"rev.ccx", true, "rev.ccx"},  // same name
                                         RenameCase{"Games.old/TA/rev.hpi", false,
                                                    "Games.old/TA/rev.xhpi"},
                                         RenameCase{"my.mod.hpi", false, "my.xhpi"},
                                         RenameCase{"my.xhpi", true, "my.hpi"}));

TEST(clsHPIEnabled, FailedOrImpossibleRenameChangesNothing) {
    TempDir dir;
    dir.write("rev.hpi", "enabled copy");
    dir.write("rev.xhpi", "disabled copy");
    dir.write("archive.d/revhpi", "no dot in the name");
    clsHPI hpi;
    for (const char* name : {"rev.hpi", "archive.d/revhpi", "gone.hpi"}) {
        hpi.Filename = dir.file(name);
        std::string reason;
        EXPECT_FALSE(hpi.SetEnabled(false, &reason)) << name;
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(hpi.Filename, dir.file(name));
    }
    auto text = [&](const char* name) {
        auto bytes = dir.read(name);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(text("rev.hpi"), "enabled copy");
    EXPECT_EQ(text("rev.xhpi"), "disabled copy");
    EXPECT_TRUE(dir.exists("archive.d/revhpi"));
}

TEST(clsHPIEnabled, OpenArchiveCanBeRenamedAndKeepsReading) {
    TempDir dir;
    writeArchive(dir, "rev.hpi");
    clsHPI hpi;
    hpi.LoadFile(dir.file("rev.hpi"));
    EXPECT_TRUE(hpi.SetEnabled(false));
    EXPECT_EQ(hpi.Filename, dir.file("rev.xhpi"));
    EXPECT_EQ(hpi.ExtractToMemory("weapons\\weapons.tdf"), SampleBytes(30, 6));
    hpi.CloseFile();
}

}  // namespace

// The switcher every batch of archive renames goes through: undo of each kind
// of batch, archives renamed behind its back, a journal cut short anywhere,
// and the running game.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/FileSystem.h"
#include "catalogue/ArchiveSwitch.h"
#include "catalogue/Enabling.h"
#include "catalogue/GameGuard.h"
#include "catalogue/Schemas.h"
#include "catalogue/ViewState.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "units/modGeneric.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#endif

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::RecordingServices;
using kloxmere::test::TempDir;

namespace {

using Strings = std::vector<std::string>;

// rev.hpi (ARMCOM, CORCOM), mod.ufo (MOD1), old.xufo (OLD); the journal in
// its own user data directory.
struct Switching {
    TempDir dir, home;
    SwitchHomeScope scope{home.str()};
    CatalogueBuilder b;

    Switching() {
        for (const char* name : {"rev.hpi", "mod.ufo", "old.xufo"}) dir.write(name, name);
        auto& rev = b.archive(dir.file("rev.hpi"));
        b.unit(rev, "ARMCOM");
        b.unit(rev, "CORCOM", "CORE");
        b.unit(b.archive(dir.file("mod.ufo")), "MOD1");
        b.unit(b.archive(dir.file("old.xufo")), "OLD");
    }

    Strings files() const {
        Strings names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(Utf8FromPath(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string handle(std::size_t index) const {
        return FileTitle(b.catalogue.ArchiveList.Item(index)->HPI->Filename);
    }
    clsUnit& unit(std::size_t index) { return *b.catalogue.UnitList.Item(index); }
};

// Each archive (by its enabled name) exists under exactly one of its names.
void expectOneNameEach(const Strings& files) {
    for (const char* archive : {"rev", "mod", "old"}) {
        long count = std::count_if(files.begin(), files.end(), [&](const std::string& name) {
            return name.rfind(std::string(archive) + ".", 0) == 0;
        });
        EXPECT_EQ(count, 1) << archive;
    }
}

}  // namespace

TEST(SwitchUndo, ReversesGroupUnitAndSchemaBatchesNewestFirst) {
    Switching s;
    ViewState view;  // the Units tab's root: every unit
    RenameReport group = SetSelectionEnabled(s.b.catalogue, view, false);
    EXPECT_EQ(group.renamed.size(), 2u);
    EXPECT_EQ(LastUndoableSwitch(s.home.str())->command, "Disable Group TA Units");
    EXPECT_EQ(SetUnitEnabled(s.unit(4), true).renamed.size(), 1u);  // OLD
    s.dir.write("back.uls", "rev.hpi\r\n");
    RecordingServices services;
    EXPECT_EQ(ImportSchema(s.b.catalogue, services, s.dir.file("back.uls")).renames.renamed.size(),
              1u);
    EXPECT_EQ(s.files(), (Strings{"back.uls", "mod.xufo", "old.ufo", "rev.hpi"}));

    for (const char* undone :
         {"Import Schema back.uls", "Enable Unit OLD", "Disable Group TA Units"}) {
        ASSERT_EQ(LastUndoableSwitch(s.home.str())->command, undone);
        RenameReport undo = UndoLastSwitch(&s.b.catalogue);
        EXPECT_TRUE(undo.refusal.empty() && undo.refused.empty()) << undone;
    }
    EXPECT_EQ(s.files(), (Strings{"back.uls", "mod.ufo", "old.xufo", "rev.hpi"}));
    // The handles followed every rename, also those the undo made from the journal.
    EXPECT_EQ(s.handle(1), "rev.hpi");
    EXPECT_EQ(s.handle(2), "mod.ufo");
    EXPECT_EQ(s.handle(3), "old.xufo");
    EXPECT_FALSE(LastUndoableSwitch(s.home.str()));
    EXPECT_EQ(UndoLastSwitch(&s.b.catalogue).refusal, "there is no switch to undo");
}

TEST(SwitchDrift, AnArchiveRenamedMeanwhileIsFollowedAndAMissingOneRefused) {
    Switching s;
    // The file manager disabled rev and enabled old; mod went away.
    RenameNoReplace(s.dir.path() / "rev.hpi", s.dir.path() / "rev.xhpi");
    RenameNoReplace(s.dir.path() / "old.xufo", s.dir.path() / "old.ufo");
    std::filesystem::remove(s.dir.path() / "mod.ufo");

    RenameReport disable = SetSelectionEnabled(s.b.catalogue, ViewState(), false);
    EXPECT_TRUE(disable.renamed.empty());
    ASSERT_EQ(disable.unchanged.size(), 1u);
    EXPECT_EQ(disable.unchanged[0].reason, "already disabled");
    ASSERT_EQ(disable.refused.size(), 1u);
    EXPECT_EQ(disable.refused[0].reason, "missing");
    EXPECT_EQ(s.handle(1), "rev.xhpi");

    RenameReport enable = SetUnitEnabled(s.unit(4), true);
    ASSERT_EQ(enable.unchanged.size(), 1u);
    EXPECT_EQ(enable.unchanged[0].reason, "already enabled");
    EXPECT_EQ(s.handle(3), "old.ufo");
    // Nothing was renamed by those batches: nothing to undo.
    EXPECT_FALSE(LastUndoableSwitch(s.home.str()));
}

TEST(SwitchJournal, ACutShortJournalReadsAndRecoversWithoutLosingAnArchive) {
    Switching s;
    s.dir.write("mod.xufo", "in the way");  // mod's rename is refused
    s.dir.write("all.uls", "rev.xhpi\r\nmod.xufo\r\nold.ufo\r\n");
    RecordingServices services;
    RenameReport report = ImportSchema(s.b.catalogue, services, s.dir.file("all.uls")).renames;
    ASSERT_EQ(report.renamed.size(), 2u);
    ASSERT_EQ(report.refused.size(), 1u);
    std::filesystem::remove(s.dir.path() / "mod.xufo");
    std::filesystem::remove(s.dir.path() / "all.uls");

    std::vector<JournalBatch> journal = ReadJournal(s.home.str());
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_TRUE(journal[0].ended);
    std::vector<std::uint8_t> bytes = ReadFileBytes(PathFromUtf8(journal[0].file));
    const std::string file = journal[0].file;

    bool finish = true;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        std::filesystem::remove(file);
        s.home.write("switches/" + FileTitle(file),
                     std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + cut));
        std::optional<JournalBatch> batch = FindInterruptedSwitch(s.home.str());
        if (!batch) continue;  // not even the heading: no batch to recover
        EXPECT_FALSE(batch->ended);
        EXPECT_LE(batch->renames.size(), 3u);
        RenameReport recovered = RecoverSwitch(finish, &s.b.catalogue);
        EXPECT_TRUE(recovered.refusal.empty()) << recovered.refusal;
        expectOneNameEach(s.files());
        EXPECT_FALSE(FindInterruptedSwitch(s.home.str()));
        finish = !finish;
    }
}

TEST(SwitchJournal, KeepsTheNewestHundredBatches) {
    Switching s;
    for (int i = 0; i < 103; ++i) {
        RenameReport report = SetUnitEnabled(s.unit(3), i % 2 == 1);
        ASSERT_EQ(report.renamed.size(), 1u) << report.refusal;
    }
    std::vector<JournalBatch> journal = ReadJournal(s.home.str());
    ASSERT_EQ(journal.size(), kJournalBatchLimit);
    EXPECT_EQ(journal.front().id, 4u);
    EXPECT_EQ(journal.back().id, 103u);
}

TEST(GameGuard, KnowsTheGameByNameOrPathInAnyCase) {
    for (const char* name : {"totala.exe", "TotalA.EXE", "/home/p/.wine/drive_c/TA/totala.exe",
                             "C:\\Games\\TA\\TotalA.exe"}) {
        EXPECT_TRUE(NamesGame(name)) << name;
    }
    for (const char* name :
         {"mytotala.exe", "totala.exe.bak", "C:\\TA\\mytotala.exe", "totala", "", "otala.exe"}) {
        EXPECT_FALSE(NamesGame(name)) << name;
    }
}

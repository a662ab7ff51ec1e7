// Whole scans of small installations written by the tests and by the demo builder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/DemoInstallation.h"
#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "tests/support/Installation.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;

namespace {

struct ScanFixture {
    TempDir ta, home;
    RecordingServices services;
    Session session{services, home.str(), home.str()};

    ScanFixture() { session.TADirectory = ta.str(); }

    void scan(unsigned threads = 1) { ScanInstallation(session, ScanOptions{threads, nullptr}); }

    clsUnit* unit(const std::string& name) {
        for (clsUnit* u : session.catalogue.UnitList) {
            if (u->Name == name) return u;
        }
        return nullptr;
    }
    bool sawStatus(const std::string& text) const {
        return std::find(services.statuses.begin(), services.statuses.end(), text) !=
               services.statuses.end();
    }
};

}  // namespace

TEST(Scan, TheDemoInstallationHasItsConflicts) {
    ScanFixture f;
    std::filesystem::remove_all(f.ta.path());
    WriteDemoInstallation(f.ta.str());
    f.scan();
    Catalogue& c = f.session.catalogue;
    ASSERT_EQ(c.ArchiveList.Count(), 4u);
    EXPECT_EQ(c.UnitList.Count(), 10u);
    EXPECT_EQ(c.WeaponList.Count(), 9u);
    EXPECT_EQ(c.CurrentUnit, c.UnitList.Item(1));
    EXPECT_EQ(c.CurrentUnit->Name, "ARMBOLT");      // the writer sorts entries by name
    EXPECT_EQ(f.unit("NOVATANK")->Conflict(), -1);  // against an enabled archive
    EXPECT_EQ(f.unit("CORKBOT")->Conflict(), 2);    // against a disabled one only
    EXPECT_EQ(f.unit("RETROGUN")->Conflict(), -1);
    EXPECT_FALSE(f.unit("RETROGUN")->Enabled());
    EXPECT_EQ(f.unit("ARMCOM")->Conflict(), 0);
    ASSERT_EQ(c.MenuConflictList.size(), 1u);
    EXPECT_EQ(c.MenuConflictList[0].Message(),
              "ARMBOLT & NOVATANK are both trying to share menu 1 button 2 on unit ARMCOM");
    ASSERT_EQ(c.SideList.Count(), 3u);
    EXPECT_EQ(c.SideList.Item(3).Name, "NOVA");
    EXPECT_TRUE(f.sawStatus("Loading saved unit lists..."));
    EXPECT_TRUE(f.sawStatus("Finding files... kloxbase.hpi"));
    EXPECT_TRUE(f.sawStatus("Finding units... ARMCOM"));
    EXPECT_TRUE(f.sawStatus("Finding weapons... NOVA_PULSE"));
    EXPECT_TRUE(f.services.messages.empty());
    EXPECT_EQ(f.services.busyDepth, 0);
}

TEST(Scan, EarlierPatternsWinAPathWhateverTheNames) {
    ScanFixture f;
    WriteArchive(f.ta.file("aaa.ufo"), {{"units\\TANK.FBI", UnitText("ADDON_TANK")},
                                        {"weapons\\W.TDF", WeaponText({{"ADDON_GUN", 9}})}});
    WriteArchive(f.ta.file("zzz.hpi"), {{"units\\tank.fbi", UnitText("GAME_TANK")},
                                        {"weapons\\w.tdf", WeaponText({{"GAME_GUN", 9}})}});
    f.scan();
    Catalogue& c = f.session.catalogue;
    ASSERT_EQ(c.UnitList.Count(), 1u);
    EXPECT_EQ(c.UnitList.Item(1)->Name, "GAME_TANK");
    ASSERT_EQ(c.WeaponList.Count(), 1u);
    EXPECT_EQ(c.WeaponList.Item(1)->Name, "GAME_GUN");
    EXPECT_EQ(c.ArchiveList.Count(), 2u);  // the add-on is catalogued, with nothing of its own
    EXPECT_TRUE(c.ArchiveList.Item(2)->Units.empty());
}

TEST(Scan, BothFormsOfAnArchiveAreCataloguedTheSecondHidden) {
    ScanFixture f;
    WriteArchive(f.ta.file("rev.hpi"), {{"units\\REV.FBI", UnitText("REVTANK")}});
    WriteArchive(f.ta.file("rev.xhpi"), {{"units\\REV.FBI", UnitText("REVTANK")}});
    f.scan();
    Catalogue& c = f.session.catalogue;
    EXPECT_EQ(c.ArchiveList.Count(), 2u);
    EXPECT_EQ(c.UnitList.Count(), 1u);
    EXPECT_TRUE(c.UnitList.Item(1)->Enabled());
}

TEST(Scan, SavedListsHideTheirArchives) {
    ScanFixture f;
    WriteArchive(f.ta.file("rev.hpi"), {{"units\\REV.FBI", UnitText("REVTANK")}});
    {
        ScanFixture first;
        WriteArchive(first.ta.file("rev.hpi"), {{"units\\REV.FBI", UnitText("LISTED")}});
        first.scan();
        ASSERT_TRUE(first.session.catalogue.ArchiveList.Item(1)->SaveList(f.home.file("rev.udf"),
                                                                          first.services));
    }
    f.scan();
    Catalogue& c = f.session.catalogue;
    ASSERT_EQ(c.ArchiveList.Count(), 1u);
    ASSERT_EQ(c.UnitList.Count(), 1u);
    EXPECT_EQ(c.UnitList.Item(1)->Name, "LISTED");  // from the list, not the archive
    EXPECT_EQ(c.UnitList.Item(1)->HPI->Filename, f.ta.str() + "rev.hpi");
}

TEST(Scan, UnreadableAndEmptyArchivesArePassedOverQuietly) {
    ScanFixture f;
    f.ta.write("broken.ufo", "not an archive at all");
    WriteArchive(f.ta.file("art.ufo"), {{"textures\\x.gaf", "texture"}});
    WriteArchive(f.ta.file("good.ufo"), {{"units\\A.FBI", UnitText("AUNIT")}});
    f.scan();
    EXPECT_EQ(f.session.catalogue.ArchiveList.Count(), 1u);
    EXPECT_EQ(f.session.catalogue.UnitList.Count(), 1u);
    EXPECT_TRUE(f.services.messages.empty());
}

TEST(Scan, AnInstallationWithoutUnitsEndsWithAMessage) {
    ScanFixture f;
    f.scan();
    ASSERT_EQ(f.services.messages.size(), 1u);
    EXPECT_EQ(f.services.messages[0].title, "Kloxmere");
    EXPECT_EQ(f.session.catalogue.CurrentUnit, nullptr);
    EXPECT_EQ(f.services.busyDepth, 0);
    EXPECT_EQ(f.services.count("progress hidden"), 1);
}

TEST(LocateTADirectory, AStoredDirectoryIsReturnedAsItIs) {
    TempDir home;
    RecordingServices services;
    Session session(services, home.str(), home.str());
    session.TADirectory = "/somewhere/ta";
    EXPECT_EQ(LocateTADirectory(session), "/somewhere/ta");
    EXPECT_TRUE(services.calls.empty());
}

TEST(LocateTADirectory, TheUserIsAskedWhenNothingIsFound) {
    TempDir home, wine, picked;
    ScopedEnv wineprefix("WINEPREFIX", wine.str());
    ScopedEnv taDir("KLOXMERE_TA_DIR", std::nullopt);  // restored at the end
    RecordingServices services;
    Session session(services, home.str(), home.str());
    services.directoryAnswers.push_back(Utf8FromPath(picked.path()));
    EXPECT_EQ(LocateTADirectory(session), picked.str());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text,
              "Your TA directory could not be found.  Please select it now.");
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(session.TADirectory, picked.str());

    Session cancelled(services, home.str(), home.str());
    EXPECT_THROW(LocateTADirectory(cancelled), TADirectoryNotFound);

    SetEnv("KLOXMERE_TA_DIR", picked.str());
    Session fromEnvironment(services, home.str(), home.str());
    EXPECT_EQ(LocateTADirectory(fromEnvironment), picked.str());
}

TEST(CatalogueKeys, ATakenRunningNumberKeyIsMadeUnique) {
    Catalogue catalogue;
    std::vector<std::unique_ptr<clsUnit>> units;
    for (int i = 1; i <= 11; ++i) {
        units.push_back(std::make_unique<clsUnit>());
        units.back()->Name = i == 1 ? "ARM1" : "ARM";
        catalogue.AddUnit(*units.back());
    }
    EXPECT_EQ(catalogue.UnitList.KeyAt(1), "ARM11");
    EXPECT_EQ(catalogue.UnitList.KeyAt(11), "ARM_11");
    EXPECT_EQ(catalogue.UnitKey(*units[10]), "ARM_11");
    EXPECT_EQ(catalogue.UnitList.Count(), 11u);
}

TEST(Scan, TheWorkingDirectoryIsLeftAlone) {
    // Definition files are read from memory: files of the names the game's
    // tools use for their temporary copies stay as the user left them.
    ScanFixture f;
    std::filesystem::remove_all(f.ta.path());
    WriteDemoInstallation(f.ta.str());
    TempDir work;
    for (const char* name : {"temp.fbi", "temp.tdf", "download.tdf", "temp.pcx"}) {
        work.write(name, "the user's own file");
    }
    auto before = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    f.scan(2);
    std::filesystem::current_path(before);
    ASSERT_EQ(f.session.catalogue.UnitList.Count(), 10u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work.path()), {}), 4);
    EXPECT_EQ(work.read("temp.fbi").size(), 19u);
}

// Enabling and disabling the archives of the selected units, on real files.

#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/Enabling.h"
#include "catalogue/ViewState.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::TempDir;

namespace {

// A TA directory holding rev.hpi (two units), totala2.ccx (one unit), mod.ufo
// (five units) and the disabled old.xufo (one unit).
struct Installation {
    TempDir dir;
    CatalogueBuilder b;

    Installation() {
        for (const char* name : {"rev.hpi", "totala2.ccx", "mod.ufo", "old.xufo"}) {
            dir.write(name, name);
        }
        auto& rev = b.archive(dir.file("rev.hpi"));
        b.unit(rev, "ARMCOM");
        b.unit(rev, "CORCOM", "CORE");
        b.unit(b.archive(dir.file("totala2.ccx")), "ARMFLASH");
        auto& mod = b.archive(dir.file("mod.ufo"));
        for (int i = 1; i <= 5; ++i) {
            b.unit(mod, "MOD" + std::to_string(i));
        }
        b.unit(b.archive(dir.file("old.xufo")), "OLD");
    }

    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string text(const std::string& name) const {
        auto bytes = dir.read(name);
        return {bytes.begin(), bytes.end()};
    }
};

std::vector<std::string> titles(const std::vector<ArchiveRename>& renames) {
    std::vector<std::string> names;
    for (const auto& rename : renames) {
        names.push_back(std::filesystem::path(rename.from).filename().string() + " -> " +
                        std::filesystem::path(rename.to).filename().string());
    }
    return names;
}

}  // namespace

TEST(SetSelectionEnabled, TheUnitsRootDisablesEachArchiveOnceWhateverItsUnits) {
    Installation ta;
    ViewState view;
    RenameReport report = SetSelectionEnabled(ta.b.catalogue, view, false);
    EXPECT_EQ(titles(report.renamed),
              (std::vector<std::string>{"rev.hpi -> rev.xhpi", "totala2.ccx -> totala2.xccx",
                                        "mod.ufo -> mod.xufo"}));
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(ta.files(),
              (std::vector<std::string>{"mod.xufo", "old.xufo", "rev.xhpi", "totala2.xccx"}));
    for (const clsUnit* unit : ta.b.catalogue.UnitList) {
        EXPECT_FALSE(unit->Enabled());
    }
}

TEST(SetSelectionEnabled, TheViewSwitchesLimitTheUnitsTab) {
    Installation ta;
    ViewState view;
    view.ShowCavedog = false;
    RenameReport report = SetSelectionEnabled(ta.b.catalogue, view, false);
    EXPECT_EQ(titles(report.renamed), std::vector<std::string>{"mod.ufo -> mod.xufo"});
    EXPECT_EQ(ta.files(),
              (std::vector<std::string>{"mod.xufo", "old.xufo", "rev.hpi", "totala2.ccx"}));
}

TEST(SetSelectionEnabled, AUserGroupOfOneArchiveRenamesItOnceForAllItsUnits) {
    Installation ta;
    clsUnitGroup group;
    group.Name = "Mods";
    group.Keywords.Add("MOD.");
    ta.b.catalogue.GroupList.Add(std::move(group), "Mods");
    ViewState view;
    view.selectedNode = {"Mods", "Mods", kGroupsRootKey, "TA Unit Groups", kGroupsRootKey};
    RenameReport report = SetSelectionEnabled(ta.b.catalogue, view, false);
    EXPECT_EQ(titles(report.renamed), std::vector<std::string>{"mod.ufo -> mod.xufo"});
    int disabled = 0;
    for (const clsUnit* unit : ta.b.catalogue.UnitList) {
        disabled += unit->Enabled() ? 0 : 1;
    }
    EXPECT_EQ(disabled, 6);  // the five of mod.xufo and the one of old.xufo
}

TEST(SetSelectionEnabled, TheConflictsTabReachesEveryArchiveWhateverTheTreeShows) {
    Installation ta;
    ViewState view;
    view.CurrentTab = kConflictsTab;
    view.ShowCavedog = view.ShowThirdParty = false;
    view.selectedNode = {"Nothing", "Nothing", kGroupsRootKey, "TA Unit Groups", kGroupsRootKey};
    RenameReport report = SetSelectionEnabled(ta.b.catalogue, view, true);
    EXPECT_EQ(titles(report.renamed), std::vector<std::string>{"old.xufo -> old.ufo"});
    EXPECT_EQ(ta.files(),
              (std::vector<std::string>{"mod.ufo", "old.ufo", "rev.hpi", "totala2.ccx"}));
}

TEST(SetSelectionEnabled, TheWeaponTabsDoNothing) {
    Installation ta;
    ViewState view;
    for (auto tab : {kWeaponsTab, kAvailableWeaponsTab}) {
        view.CurrentTab = tab;
        RenameReport report = SetSelectionEnabled(ta.b.catalogue, view, false);
        EXPECT_TRUE(report.renamed.empty());
        EXPECT_TRUE(report.refused.empty());
    }
    EXPECT_EQ(ta.files(),
              (std::vector<std::string>{"mod.ufo", "old.xufo", "rev.hpi", "totala2.ccx"}));
}

TEST(SetSelectionEnabled, ARefusedRenameKeepsBothFilesAndTheOthersGoOn) {
    Installation ta;
    ta.dir.write("rev.xhpi", "an older disabled copy");
    ViewState view;
    RenameReport report = SetSelectionEnabled(ta.b.catalogue, view, false);
    ASSERT_EQ(report.refused.size(), 1u);  // reported once, though rev.hpi holds two units
    EXPECT_EQ(report.refused[0].from, ta.dir.file("rev.hpi"));
    EXPECT_TRUE(report.refused[0].to.empty());
    EXPECT_FALSE(report.refused[0].reason.empty());
    EXPECT_EQ(ta.text("rev.hpi"), "rev.hpi");
    EXPECT_EQ(ta.text("rev.xhpi"), "an older disabled copy");
    EXPECT_EQ(ta.b.catalogue.UnitList.Item(1)->HPI->Filename, ta.dir.file("rev.hpi"));
    EXPECT_EQ(titles(report.renamed),
              (std::vector<std::string>{"totala2.ccx -> totala2.xccx", "mod.ufo -> mod.xufo"}));
}

TEST(SetUnitEnabled, TogglingAUnitTwiceRestoresItsArchiveName) {
    Installation ta;
    clsUnit& unit = *ta.b.catalogue.UnitList.Item(1);
    EXPECT_EQ(titles(SetUnitEnabled(unit, !unit.Enabled()).renamed),
              std::vector<std::string>{"rev.hpi -> rev.xhpi"});
    EXPECT_FALSE(ta.b.catalogue.UnitList.Item(2)->Enabled());  // its archive mate follows
    EXPECT_EQ(titles(SetUnitEnabled(unit, !unit.Enabled()).renamed),
              std::vector<std::string>{"rev.xhpi -> rev.hpi"});
    EXPECT_TRUE(SetUnitEnabled(unit, true).renamed.empty());  // already so: no rename asked
    EXPECT_TRUE(ta.dir.exists("rev.hpi"));
}

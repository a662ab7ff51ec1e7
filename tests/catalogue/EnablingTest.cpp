// Enabling and disabling the archives of the selected units, on real files.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/FileSystem.h"
#include "catalogue/Enabling.h"
#include "catalogue/GroupEditing.h"
#include "catalogue/ViewState.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::TempDir;

namespace {

using Strings = std::vector<std::string>;

// rev.hpi (two units), totala2.ccx (one), mod.ufo (five), old.xufo (one).
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

    Strings files() const {
        Strings names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(Utf8FromPath(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

Strings renamed(const RenameReport& report) {
    Strings names;
    for (const auto& rename : report.renamed) {
        names.push_back(Utf8FromPath(PathFromUtf8(rename.from).filename()) + " -> " +
                        Utf8FromPath(PathFromUtf8(rename.to).filename()));
    }
    return names;
}

}  // namespace

TEST(SetSelectionEnabled, TheUnitsTabRenamesEachSelectedArchiveOnce) {
    Installation ta;
    ViewState view;
    view.ShowCavedog = false;
    EXPECT_EQ(renamed(SetSelectionEnabled(ta.b.catalogue, view, false)),
              Strings{"mod.ufo -> mod.xufo"});
    view.ShowCavedog = true;
    RenameReport report = SetSelectionEnabled(ta.b.catalogue, view, false);
    EXPECT_EQ(renamed(report), (Strings{"rev.hpi -> rev.xhpi", "totala2.ccx -> totala2.xccx"}));
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(ta.files(), (Strings{"mod.xufo", "old.xufo", "rev.xhpi", "totala2.xccx"}));
}

TEST(SetSelectionEnabled, AUserGroupOfOneArchiveRenamesItOnceForAllItsUnits) {
    Installation ta;
    AddGroup(ta.b.catalogue.GroupList, "Mods");
    AddKeyword(*ta.b.catalogue.GroupList.Find("Mods"), "MOD.");
    ViewState view;
    view.selectedNode = {"Mods", "Mods", kGroupsRootKey, "TA Unit Groups", kGroupsRootKey};
    EXPECT_EQ(renamed(SetSelectionEnabled(ta.b.catalogue, view, false)),
              Strings{"mod.ufo -> mod.xufo"});
    EXPECT_EQ(std::count_if(ta.b.catalogue.UnitList.begin(), ta.b.catalogue.UnitList.end(),
                            [](const clsUnit* unit) { return !unit->Enabled(); }),
              6);
}

TEST(SetSelectionEnabled, TheConflictsTabReachesEveryArchiveAndTheWeaponTabsNone) {
    Installation ta;
    ViewState view;
    view.ShowCavedog = view.ShowThirdParty = false;
    view.selectedNode = {"Nothing", "Nothing", kGroupsRootKey, "TA Unit Groups", kGroupsRootKey};
    for (auto tab : {kWeaponsTab, kAvailableWeaponsTab}) {
        view.CurrentTab = tab;
        EXPECT_TRUE(renamed(SetSelectionEnabled(ta.b.catalogue, view, true)).empty());
    }
    view.CurrentTab = kConflictsTab;
    EXPECT_EQ(renamed(SetSelectionEnabled(ta.b.catalogue, view, true)),
              Strings{"old.xufo -> old.ufo"});
    EXPECT_EQ(ta.files(), (Strings{"mod.ufo", "old.ufo", "rev.hpi", "totala2.ccx"}));
}

TEST(SetSelectionEnabled, ARefusedRenameKeepsBothFilesAndTheOthersGoOn) {
    Installation ta;
    ta.dir.write("rev.xhpi", "an older copy");
    RenameReport report = SetSelectionEnabled(ta.b.catalogue, ViewState(), false);
    ASSERT_EQ(report.refused.size(), 1u);  // once, though rev.hpi holds two units
    EXPECT_EQ(report.refused[0].from, ta.dir.file("rev.hpi"));
    EXPECT_FALSE(report.refused[0].reason.empty());
    EXPECT_EQ(ta.dir.read("rev.hpi"),
              std::vector<std::uint8_t>({'r', 'e', 'v', '.', 'h', 'p', 'i'}));
    EXPECT_EQ(ta.dir.read("rev.xhpi").size(), 13u);
    EXPECT_TRUE(ta.b.catalogue.UnitList.Item(1)->Enabled());
    EXPECT_EQ(renamed(report), (Strings{"totala2.ccx -> totala2.xccx", "mod.ufo -> mod.xufo"}));
}

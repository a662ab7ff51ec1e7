// The tools that help a player act on a conflict: the list's filter, each
// conflict's partners with the free weapon numbers near it, and what a schema
// would change.

#include <gtest/gtest.h>

#include "archive/clsHPI.h"
#include "catalogue/ConflictPartners.h"
#include "catalogue/ListFilter.h"
#include "catalogue/MenuConflicts.h"
#include "catalogue/SchemaDiff.h"
#include "catalogue/ViewState.h"
#include "catalogue/WeaponConflicts.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::RecordingServices;
using kloxmere::test::TempDir;

namespace {

using Strings = std::vector<std::string>;

// ARMCOM (base.hpi) and CORKBOT (rev.xufo) carry weapons sharing number 12;
// CAFÉTANK (café.ufo) carries a weapon of its own; two menu entries share a button.
struct ConflictCatalogue {
    CatalogueBuilder b;
    clsUnitArchive& base = b.archive("/ta/base.hpi");
    clsUnitArchive& rev = b.archive("/ta/rev.xufo");
    clsUnitArchive& cafe = b.archive("/ta/caf\xc3\xa9.ufo");
    clsUnit& armcom = b.unit(base, "ARMCOM", "ARM", "TANK", {"ARM_LASER"});
    clsUnit& corkbot = b.unit(rev, "CORKBOT", "CORE", "KBOT", {"CORE_GUN"});
    clsUnit& cafetank = b.unit(cafe, "CAF\xc3\x89TANK", "ARM", "TANK", {"CAFE_GUN"});

    ConflictCatalogue() {
        b.weapon(base, "ARM_LASER", 12);
        b.weapon(rev, "CORE_GUN", 12);
        b.weapon(cafe, "CAFE_GUN", 13);
        b.menuEntry(base, "ARMLAB", "1", "2", "ARMCOM");
        b.menuEntry(cafe, "armlab", "1", "2", "CAF\xc3\x89TANK");
        b.attachWeapons();
        RecordingServices services;
        FindWeaponConflicts(b.catalogue, services, false);
        FindMenuConflicts(b.catalogue, services);
    }

    Strings kept(std::int32_t tab, std::string_view text) {
        RecordingServices services;
        ViewState view;
        view.CurrentTab = tab;
        Strings names;
        for (const ListItem& item : FilterItems(b.catalogue, tab, RowFilter(text),
                                                FillUnitItems(b.catalogue, view, services))) {
            names.push_back(ItemText(b.catalogue, tab, item, 0));
        }
        return names;
    }
};

}  // namespace

TEST(ListFilter, KeepsRowsWithTheTextInAnyShownColumnWithoutRegardToCase) {
    ConflictCatalogue c;
    // Name, archive and the conflict's words on the Conflicts tab; the menu
    // conflict's row is found by its message.
    EXPECT_EQ(c.kept(kConflictsTab, "corkbot"), (Strings{"ARMCOM", "CORKBOT"}));
    EXPECT_EQ(c.kept(kConflictsTab, "REV.XUFO"), (Strings{"CORKBOT"}));
    EXPECT_EQ(c.kept(kConflictsTab, "share menu 1"), (Strings{""}));
    // Letters beyond ASCII fold too, and the text is taken literally.
    EXPECT_EQ(c.kept(kUnitsTab, "caf\xc3\xa9"), (Strings{"CAF\xc3\x89TANK"}));
    EXPECT_EQ(c.kept(kUnitsTab, "c.*"), Strings{});
    // Weapon numbers are columns like any other; the empty filter keeps all.
    EXPECT_EQ(c.kept(kWeaponsTab, "13"), (Strings{"CAFE_GUN"}));
    EXPECT_EQ(c.kept(kAvailableWeaponsTab, "25").size(), 9u);  // 25, 125, 225, 250 to 255
    EXPECT_EQ(c.kept(kUnitsTab, ""), (Strings{"ARMCOM", "CORKBOT", "CAF\xc3\x89TANK"}));
}

TEST(ListFilter, ALongerTextNarrowsTheRowsAShorterOneKept) {
    EXPECT_TRUE(RowFilter("arm_l").narrows(RowFilter("ARM")));
    EXPECT_TRUE(RowFilter("arm").narrows(RowFilter("")));
    EXPECT_FALSE(RowFilter("ar").narrows(RowFilter("arm")));
    EXPECT_FALSE(RowFilter("xarm").narrows(RowFilter("army")));
}

TEST(ConflictPartners, NameEveryCarrierOfTheOtherWeaponAndEachPairOnce) {
    ConflictCatalogue c;
    clsUnit& second = c.b.unit(c.cafe, "CORAK", "CORE", "KBOT", {"CORE_GUN"});
    second.AttachWeapons(c.b.catalogue.WeaponList);

    auto partners = FindWeaponConflictPartners(c.armcom);
    ASSERT_EQ(partners.size(), 2u);
    EXPECT_EQ(partners[0].unit, &c.corkbot);
    EXPECT_EQ(partners[1].unit, &second);
    EXPECT_EQ(partners[0].weapon->Name, "ARM_LASER");
    EXPECT_EQ(partners[0].otherWeapon->Name, "CORE_GUN");
    EXPECT_TRUE(FindWeaponConflictPartners(c.cafetank).empty());

    // The pair ARMCOM/CORKBOT once, not again from CORKBOT's side.
    Strings pairs;
    for (const WeaponConflictPair& pair : WeaponConflictPairs(c.b.catalogue)) {
        pairs.push_back(pair.first->Name + "/" + pair.second->Name);
    }
    EXPECT_EQ(pairs, (Strings{"ARMCOM/CORKBOT", "ARMCOM/CORAK"}));
}

TEST(ConflictPartners, MenuEntriesKnowTheirArchivesAndItsStateFollowsRenames) {
    ConflictCatalogue c;
    MenuEntryArchives archives(c.b.catalogue);
    ASSERT_EQ(c.b.catalogue.MenuConflictList.size(), 1u);
    const MenuConflict& conflict = c.b.catalogue.MenuConflictList[0];
    EXPECT_EQ(ArchiveName(archives.archiveOf(*conflict.first)), "base.hpi");
    EXPECT_EQ(ArchiveName(archives.archiveOf(*conflict.second)), "caf\xc3\xa9.ufo");
    clsMenuEntry stray;
    EXPECT_EQ(archives.archiveOf(stray), nullptr);
}

TEST(NearestFreeWeaponNumbers, TakeTheNearestFirstAndTheLowerOfTwoAsNear) {
    std::bitset<256> used;
    for (int n : {0, 1, 2, 12, 13, 254, 255}) used.set(static_cast<std::size_t>(n));
    using Numbers = std::vector<int>;
    EXPECT_EQ(NearestFreeWeaponNumbers(used, 12), (Numbers{11, 10, 14}));
    EXPECT_EQ(NearestFreeWeaponNumbers(used, 0), (Numbers{3, 4, 5}));          // nothing below 0
    EXPECT_EQ(NearestFreeWeaponNumbers(used, 255), (Numbers{253, 252, 251}));  // nor above 255
    EXPECT_EQ(NearestFreeWeaponNumbers(used, 300), (Numbers{253, 252, 251}));
    used.set();
    used.reset(200);
    EXPECT_EQ(NearestFreeWeaponNumbers(used, 7), (Numbers{200}));  // fewer when fewer are free
}

TEST(SchemaDiff, ListsWhatAnImportWouldChangeWithoutRenaming) {
    ConflictCatalogue c;
    c.b.archive("/ta/extra.ccx");
    // Names match in any case; the last line naming an archive decides it.
    SchemaDiff diff = DiffSchema(c.b.catalogue, {"BASE.xhpi", "rev.ufo", "gone.ufo", "Rev.UFO",
                                                 "GONE.xufo", "caf\xc3\x89.ufo"});
    EXPECT_TRUE(diff.read);
    EXPECT_EQ(diff.enable, (Strings{"rev.xufo"}));
    EXPECT_EQ(diff.disable, (Strings{"base.hpi"}));
    EXPECT_EQ(diff.missing, (Strings{"gone.ufo"}));
    EXPECT_EQ(diff.unlisted, (Strings{"extra.ccx"}));
    EXPECT_EQ(c.b.catalogue.ArchiveList.Item(1)->HPI->Filename, "/ta/base.hpi");

    SchemaDiff same = DiffSchema(c.b.catalogue, {"base.hpi", "rev.xufo"});
    EXPECT_TRUE(same.changesNothing());

    SchemaDiff unread = DiffSchemaFile(c.b.catalogue, TempDir().file("none.uls"));
    EXPECT_FALSE(unread.read);
    EXPECT_FALSE(unread.problem.empty());
}

// The Conflicts tab's descriptions are matched without wording them; every
// piece of a description, also across its parts, must still be found, and
// nothing else.
TEST(ListFilter, FindsEveryPieceOfAConflictDescriptionAndNothingMore) {
    CatalogueBuilder b;
    auto& base = b.archive("/ta/base.hpi");
    auto& mod = b.archive("/ta/mod.ufo");
    b.unit(base, "ARMCOM", "ARM", "TANK", {"ARM_LASER", "ARM_GUN"});
    b.unit(mod, "CORKBOT", "CORE", "KBOT", {"CORE_GUN"});
    b.unit(mod,
           "\xc3\x89"
           "CLAIR",
           "CORE", "KBOT", {"CORE_GUN", "CORE_BEAM"});
    b.unit(mod, "LONER", "CORE", "KBOT", {"ARM_GUN"});
    b.weapon(base, "ARM_LASER", 12);
    b.weapon(base, "ARM_GUN", 7);
    b.weapon(mod, "CORE_GUN", 12);
    b.weapon(mod, "CORE_BEAM", 7);
    b.weapon(mod, "SPARE", 12);  // carried by nobody: "Conflicts with  (Weapon ..."
    b.attachWeapons();
    RecordingServices services;
    FindWeaponConflicts(b.catalogue, services, false);
    ViewState view;
    view.CurrentTab = kConflictsTab;
    const std::vector<ListItem> rows = FillUnitItems(b.catalogue, view, services);
    ASSERT_EQ(rows.size(), 4u);

    auto wordedMatches = [&](const RowFilter& filter) {
        std::vector<ListItem> kept;
        for (const ListItem& item : rows) {
            for (std::size_t column = 0; column < 5; ++column) {
                if (filter.matches(ItemText(b.catalogue, kConflictsTab, item, column))) {
                    kept.push_back(item);
                    break;
                }
            }
        }
        return kept;
    };
    std::vector<std::string> needles = {"). c",
                                        "n). co",
                                        "r_gun).",
                                        "with  (weapon",
                                        "xyz",
                                        "ARM_GUN). Conflicts with CORKBOT",
                                        "\xc3\xa9"
                                        "clair and"};
    for (const ListItem& item : rows) {
        const std::string text = ItemText(b.catalogue, kConflictsTab, item, 4);
        for (std::size_t at = 0; at < text.size(); at += 3) {
            for (std::size_t length : {1, 2, 5, 9, 14, 20, 31, 45}) {
                needles.push_back(text.substr(at, length));
            }
        }
    }
    for (const std::string& needle : needles) {
        const RowFilter filter(needle);
        EXPECT_EQ(FilterItems(b.catalogue, kConflictsTab, filter, rows), wordedMatches(filter))
            << '"' << needle << '"';
    }
}

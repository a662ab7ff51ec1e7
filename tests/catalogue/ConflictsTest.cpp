// The weapon-number and build-menu conflict passes.

#include <gtest/gtest.h>

#include <random>

#include "base/TextCase.h"
#include "catalogue/MenuConflicts.h"
#include "catalogue/WeaponConflicts.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/RecordingServices.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::RecordingServices;

namespace {

std::vector<clsWeapon*> weaponsOf(CatalogueBuilder& b) {
    return {b.catalogue.WeaponList.begin(), b.catalogue.WeaponList.end()};
}

// What comparing every pair in list order gives: the behaviour the grouped
// passes must reproduce.
std::vector<std::vector<const clsWeapon*>> pairwiseWeaponConflicts(
    const std::vector<clsWeapon*>& weapons) {
    std::vector<std::vector<const clsWeapon*>> conflicts(weapons.size());
    for (std::size_t i = 0; i < weapons.size(); ++i) {
        for (std::size_t j = i + 1; j < weapons.size(); ++j) {
            if (weapons[i]->ID == weapons[j]->ID) {
                conflicts[i].push_back(weapons[j]);
                conflicts[j].push_back(weapons[i]);
            }
        }
    }
    return conflicts;
}

std::vector<std::string> pairwiseMenuConflicts(const Catalogue& catalogue) {
    std::vector<const clsMenuEntry*> entries(catalogue.MenuEntryList.begin(),
                                             catalogue.MenuEntryList.end());
    std::vector<std::string> messages;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = i + 1; j < entries.size(); ++j) {
            if (EqualsNoCase(entries[i]->Location(), entries[j]->Location())) {
                messages.push_back(MenuConflictMessage(*entries[i], *entries[j]));
            }
        }
    }
    return messages;
}

}  // namespace

TEST(WeaponConflicts, NoWeaponOrOneWeaponGivesNoProgressAndNoEntries) {
    CatalogueBuilder empty;
    RecordingServices services;
    FindWeaponConflicts(empty.catalogue, services, true);
    EXPECT_TRUE(services.calls.empty());

    CatalogueBuilder single;
    single.weapon(single.archive("/ta/rev.hpi"), "LASER", 5);
    FindWeaponConflicts(single.catalogue, services, true);
    EXPECT_TRUE(services.calls.empty());
    EXPECT_FALSE(single.catalogue.WeaponList.Item(1)->Conflict());
}

TEST(WeaponConflicts, SameNumberPairsUpWhateverTheArchive) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    auto& mod = b.archive("/ta/mod.xufo");
    clsWeapon& a = b.weapon(rev, "A", 5);
    clsWeapon& sameArchive = b.weapon(rev, "B", 9);
    clsWeapon& otherArchive = b.weapon(mod, "C", 5);
    clsWeapon& sameArchivePartner = b.weapon(rev, "D", 9);
    NullPlatformServices services;
    FindWeaponConflicts(b.catalogue, services, false);
    EXPECT_EQ(a.Conflicts, std::vector<clsWeapon*>{&otherArchive});
    EXPECT_EQ(otherArchive.Conflicts, std::vector<clsWeapon*>{&a});
    EXPECT_EQ(sameArchive.Conflicts, std::vector<clsWeapon*>{&sameArchivePartner});
    EXPECT_EQ(sameArchivePartner.Conflicts, std::vector<clsWeapon*>{&sameArchive});
}

TEST(WeaponConflicts, EachWeaponListsItsPartnersInListOrder) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    clsWeapon& first = b.weapon(rev, "W1", 5);
    clsWeapon& second = b.weapon(rev, "W2", 7);
    clsWeapon& third = b.weapon(rev, "W3", 5);
    clsWeapon& fourth = b.weapon(rev, "W4", 5);
    NullPlatformServices services;
    FindWeaponConflicts(b.catalogue, services, true);
    EXPECT_EQ(first.Conflicts, (std::vector<clsWeapon*>{&third, &fourth}));
    EXPECT_TRUE(second.Conflicts.empty());
    EXPECT_EQ(third.Conflicts, (std::vector<clsWeapon*>{&first, &fourth}));
    EXPECT_EQ(fourth.Conflicts, (std::vector<clsWeapon*>{&first, &third}));
}

TEST(WeaponConflicts, ProgressIsUpdatedOncePerWeaponButTheLastAndOnlyWhenAsked) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    for (int i = 0; i < 4; ++i) {
        b.weapon(rev, "W" + std::to_string(i), i % 2);
    }
    RecordingServices quiet;
    FindWeaponConflicts(b.catalogue, quiet, false);
    EXPECT_TRUE(quiet.calls.empty());

    CatalogueBuilder again;
    auto& rev2 = again.archive("/ta/rev.hpi");
    for (int i = 0; i < 4; ++i) {
        again.weapon(rev2, "W" + std::to_string(i), i % 2);
    }
    RecordingServices shown;
    FindWeaponConflicts(again.catalogue, shown, true);
    EXPECT_EQ(shown.calls, (std::vector<std::string>{"update 1/4", "update 2/4", "update 3/4"}));
    for (std::size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(b.catalogue.WeaponList.Item(i)->Conflicts.size(),
                  again.catalogue.WeaponList.Item(i)->Conflicts.size());
    }
}

TEST(WeaponConflicts, DisabledPartnersMakeTheConflictHarmless) {
    CatalogueBuilder b;
    auto& enabled = b.archive("/ta/rev.hpi");
    auto& disabled = b.archive("/ta/mod.xufo");
    b.weapon(enabled, "ARM_GUN", 5);
    b.weapon(disabled, "MOD_GUN", 5);
    clsUnit& mine = b.unit(enabled, "ARMGUN", "ARM", "TANK", {"ARM_GUN"});
    clsUnit& theirs = b.unit(disabled, "MODGUN", "ARM", "TANK", {"MOD_GUN"});
    b.attachWeapons();
    NullPlatformServices services;
    FindWeaponConflicts(b.catalogue, services, true);
    EXPECT_EQ(mine.Conflict(), 2);     // its only partner is disabled
    EXPECT_EQ(theirs.Conflict(), -1);  // its partner is enabled
}

TEST(WeaponConflicts, MatchRandomPairwiseComparison) {
    std::mt19937 random(4711);
    for (int round = 0; round < 20; ++round) {
        CatalogueBuilder b;
        auto& rev = b.archive("/ta/rev.hpi");
        const int count = 1 + static_cast<int>(random() % 300);
        const int numbers = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            b.weapon(rev, "W" + std::to_string(i),
                     static_cast<std::int32_t>(random() % numbers) - 3);
        }
        auto weapons = weaponsOf(b);
        auto expected = pairwiseWeaponConflicts(weapons);
        NullPlatformServices services;
        FindWeaponConflicts(b.catalogue, services, true);
        for (std::size_t i = 0; i < weapons.size(); ++i) {
            ASSERT_EQ(std::vector<const clsWeapon*>(weapons[i]->Conflicts.begin(),
                                                    weapons[i]->Conflicts.end()),
                      expected[i])
                << "round " << round << ", weapon " << i;
        }
    }
}

TEST(MenuConflicts, MenuButtonAndBuilderComeFromTheEarlierEntry) {
    for (bool foo : {true, false}) {
        CatalogueBuilder b;
        auto& rev = b.archive("/ta/rev.hpi");
        if (foo) {
            b.menuEntry(rev, "ARMCOM", "1", "3", "ARMFOO");
            b.menuEntry(rev, "armcom", "1", "3", "ARMBAR");
        } else {
            b.menuEntry(rev, "armcom", "1", "3", "ARMBAR");
            b.menuEntry(rev, "ARMCOM", "1", "3", "ARMFOO");
        }
        NullPlatformServices services;
        FindMenuConflicts(b.catalogue, services);
        EXPECT_EQ(
            b.catalogue.MenuConflictList,
            std::vector<std::string>{
                foo ? "ARMFOO & ARMBAR are both trying to share menu 1 button 3 on unit ARMCOM"
                    : "ARMBAR & ARMFOO are both trying to share menu 1 button 3 on unit "
                      "armcom"});
    }
}

TEST(MenuConflicts, ThreeEntriesOnOneButtonGiveAMessagePerPairInPairOrder) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.menuEntry(rev, "ARMCOM", "1", "3", "U1");
    b.menuEntry(rev, "CORCOM", "1", "3", "OTHER");
    b.menuEntry(rev, "ARMCOM", "1", "3", "U2");
    b.menuEntry(rev, "ArmCom", "1", "3", "U3");
    NullPlatformServices services;
    FindMenuConflicts(b.catalogue, services);
    const std::string tail = " are both trying to share menu 1 button 3 on unit ";
    EXPECT_EQ(b.catalogue.MenuConflictList,
              (std::vector<std::string>{"U1 & U2" + tail + "ARMCOM", "U1 & U3" + tail + "ARMCOM",
                                        "U2 & U3" + tail + "ARMCOM"}));
}

TEST(MenuConflicts, OtherMenusButtonsOrSpellingsOfANumberDoNotConflict) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.menuEntry(rev, "ARMCOM", "1", "3", "A");
    b.menuEntry(rev, "ARMCOM", "2", "3", "B");
    b.menuEntry(rev, "ARMCOM", "1", "4", "C");
    b.menuEntry(rev, "ARMCOM", "01", "3", "D");
    NullPlatformServices services;
    FindMenuConflicts(b.catalogue, services);
    EXPECT_TRUE(b.catalogue.MenuConflictList.empty());
}

TEST(MenuConflicts, ProgressIsUpdatedOncePerEntry) {
    CatalogueBuilder empty;
    RecordingServices none;
    FindMenuConflicts(empty.catalogue, none);
    EXPECT_TRUE(none.calls.empty());

    CatalogueBuilder single;
    single.menuEntry(single.archive("/ta/rev.hpi"), "ARMCOM", "1", "1", "A");
    RecordingServices one;
    FindMenuConflicts(single.catalogue, one);
    EXPECT_EQ(one.calls, std::vector<std::string>{"update 1/1"});
    EXPECT_TRUE(single.catalogue.MenuConflictList.empty());
}

TEST(MenuConflicts, MatchRandomPairwiseComparison) {
    std::mt19937 random(1234);
    const char* builders[] = {"ARMCOM", "armcom", "ArmCom", "CORCOM", "corcom"};
    for (int round = 0; round < 20; ++round) {
        CatalogueBuilder b;
        auto& rev = b.archive("/ta/rev.hpi");
        const int count = 1 + static_cast<int>(random() % 200);
        for (int i = 0; i < count; ++i) {
            b.menuEntry(rev, builders[random() % 5], std::to_string(random() % 3),
                        std::to_string(random() % 4), "U" + std::to_string(random() % 6));
        }
        auto expected = pairwiseMenuConflicts(b.catalogue);
        NullPlatformServices services;
        FindMenuConflicts(b.catalogue, services);
        ASSERT_EQ(b.catalogue.MenuConflictList, expected) << "round " << round;
    }
}

TEST(MenuConflicts, MoreEntriesThanASixteenBitCountWorkLikeFewer) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    const int count = 40000;
    for (int i = 0; i < count; ++i) {
        b.menuEntry(rev, "B" + std::to_string(i / 4), std::to_string(i % 4), "1", "U");
    }
    b.menuEntry(rev, "B0", "0", "1", "LATE");
    b.menuEntry(rev, "b9999", "3", "1", "LAST");
    RecordingServices services;
    FindMenuConflicts(b.catalogue, services);
    EXPECT_EQ(services.count("update "), count + 2);
    EXPECT_EQ(services.calls.back(), "update 40002/40002");
    EXPECT_EQ(b.catalogue.MenuConflictList,
              (std::vector<std::string>{
                  "U & LATE are both trying to share menu 0 button 1 on unit B0",
                  "U & LAST are both trying to share menu 3 button 1 on unit B9999"}));
}

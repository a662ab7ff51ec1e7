// The weapon-number and build-menu conflict passes, checked against the
// plain pairwise comparison they replace.

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

using Strings = std::vector<std::string>;

const std::string kShare = " are both trying to share menu ";

}  // namespace

TEST(WeaponConflicts, EachWeaponListsItsPartnersInListOrderWithOneUpdatePerStep) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    auto& mod = b.archive("/ta/mod.xufo");  // disabled archives take part alike
    clsWeapon& first = b.weapon(rev, "W1", 5);
    clsWeapon& second = b.weapon(mod, "W2", 7);
    clsWeapon& third = b.weapon(mod, "W3", 5);
    clsWeapon& fourth = b.weapon(rev, "W4", 5);
    RecordingServices services;
    FindWeaponConflicts(b.catalogue, services, true);
    EXPECT_EQ(first.Conflicts, (std::vector<clsWeapon*>{&third, &fourth}));
    EXPECT_TRUE(second.Conflicts.empty());
    EXPECT_EQ(third.Conflicts, (std::vector<clsWeapon*>{&first, &fourth}));
    EXPECT_EQ(fourth.Conflicts, (std::vector<clsWeapon*>{&first, &third}));
    EXPECT_EQ(services.calls, (Strings{"update 1/4", "update 2/4", "update 3/4"}));
}

TEST(WeaponConflicts, MatchThePairwiseComparisonOnRandomNumbers) {
    std::mt19937 random(4711);
    for (int round = 0; round < 20; ++round) {
        CatalogueBuilder b;
        auto& rev = b.archive("/ta/rev.hpi");
        const auto numbers = 1 + random() % 40;
        std::vector<clsWeapon*> weapons;
        for (std::uint32_t i = 0, n = 1 + random() % 300; i < n; ++i) {
            auto id = static_cast<std::int32_t>(random() % numbers) - 3;
            weapons.push_back(&b.weapon(rev, "W" + std::to_string(i), id));
        }
        std::vector<std::vector<clsWeapon*>> expected(weapons.size());
        for (std::size_t i = 0; i < weapons.size(); ++i) {
            for (std::size_t j = i + 1; j < weapons.size(); ++j) {
                if (weapons[i]->ID == weapons[j]->ID) {
                    expected[i].push_back(weapons[j]);
                    expected[j].push_back(weapons[i]);
                }
            }
        }
        NullPlatformServices services;
        FindWeaponConflicts(b.catalogue, services, false);
        for (std::size_t i = 0; i < weapons.size(); ++i) {
            ASSERT_EQ(weapons[i]->Conflicts, expected[i]) << "round " << round << ", weapon " << i;
        }
    }
}

TEST(MenuConflicts, MessagesNameTheEarlierEntrysButtonAndComeInPairOrder) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    b.menuEntry(rev, "armcom", "1", "3", "ARMBAR");
    b.menuEntry(rev, "ARMCOM", "1", "3", "ARMFOO");
    b.menuEntry(rev, "ARMCOM", "01", "3", "OTHER");  // 01 is not 1
    b.menuEntry(rev, "ArmCom", "1", "3", "ARMBAZ");
    RecordingServices services;
    FindMenuConflicts(b.catalogue, services);
    EXPECT_EQ(MenuConflictMessages(b.catalogue),
              (Strings{"ARMBAR & ARMFOO" + kShare + "1 button 3 on unit armcom",
                       "ARMBAR & ARMBAZ" + kShare + "1 button 3 on unit armcom",
                       "ARMFOO & ARMBAZ" + kShare + "1 button 3 on unit ARMCOM"}));
    EXPECT_EQ(services.count("update "), 4);
    EXPECT_EQ(services.calls.back(), "update 4/4");
}

TEST(MenuConflicts, MatchThePairwiseComparisonOnRandomEntries) {
    std::mt19937 random(1234);
    const char* builders[] = {"ARMCOM", "armcom", "ArmCom", "CORCOM", "corcom"};
    for (int round = 0; round < 20; ++round) {
        CatalogueBuilder b;
        auto& rev = b.archive("/ta/rev.hpi");
        for (std::uint32_t i = 0, n = 1 + random() % 200; i < n; ++i) {
            b.menuEntry(rev, builders[random() % 5], std::to_string(random() % 3),
                        std::to_string(random() % 4), "U" + std::to_string(random() % 6));
        }
        std::vector<const clsMenuEntry*> entries(b.catalogue.MenuEntryList.begin(),
                                                 b.catalogue.MenuEntryList.end());
        Strings expected;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            for (std::size_t j = i + 1; j < entries.size(); ++j) {
                if (EqualsNoCase(entries[i]->Location(), entries[j]->Location())) {
                    expected.push_back(MenuConflictMessage(*entries[i], *entries[j]));
                }
            }
        }
        NullPlatformServices services;
        FindMenuConflicts(b.catalogue, services);
        ASSERT_EQ(MenuConflictMessages(b.catalogue), expected) << "round " << round;
    }
}

TEST(MenuConflicts, MoreEntriesThanASixteenBitCountWorkLikeFewer) {
    CatalogueBuilder b;
    auto& rev = b.archive("/ta/rev.hpi");
    for (int i = 0; i < 40000; ++i) {
        b.menuEntry(rev, "B" + std::to_string(i / 4), std::to_string(i % 4), "1", "U");
    }
    b.menuEntry(rev, "b9999", "3", "1", "LAST");
    RecordingServices services;
    FindMenuConflicts(b.catalogue, services);
    EXPECT_EQ(services.count("update "), 40001);
    EXPECT_EQ(MenuConflictMessages(b.catalogue),
              Strings{"U & LAST" + kShare + "3 button 1 on unit B9999"});
}

#include "base/Collection.h"

#include <gtest/gtest.h>

#include <string>

using kloxmere::Collection;
using kloxmere::DuplicateKeyError;

TEST(Collection, KeepsOrderAndIndexesFromOne) {
    Collection<std::string> list;
    list.Add("first");
    list.Add("second", "Key");
    list.Add("third");
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Item(1), "first");
    EXPECT_EQ(list.Item(3), "third");
    EXPECT_THROW(list.Item(0), std::out_of_range);
    EXPECT_THROW(list.Item(4), std::out_of_range);
    EXPECT_EQ(list.KeyAt(2), "Key");
    EXPECT_FALSE(list.KeyAt(1).has_value());
}

TEST(Collection, KeysIgnoreCaseAndDuplicatesFailWithoutChangingTheList) {
    Collection<int> list;
    list.Add(1, "ARM_LASER");
    EXPECT_THROW(list.Add(2, "arm_laser"), DuplicateKeyError);
    EXPECT_FALSE(list.tryAdd(3, "Arm_Laser"));
    EXPECT_EQ(list.Count(), 1u);
    ASSERT_NE(list.Find("ARM_laser"), nullptr);
    EXPECT_EQ(*list.Find("ARM_laser"), 1);
    EXPECT_EQ(list.Find("missing"), nullptr);
}

TEST(Collection, AccentedKeysFoldLikeWindows) {
    Collection<int> list;
    list.Add(1, "ÉLAN");
    EXPECT_TRUE(list.Contains("élan"));
    EXPECT_FALSE(list.tryAdd(2, "élan"));
}

TEST(Collection, RemovingKeepsTheOtherKeysFindable) {
    Collection<std::string> list;
    list.Add("a", "A");
    list.Add("b", "B");
    list.Add("c", "C");
    list.Remove(1);
    EXPECT_EQ(list.indexOf("c"), 2u);
    EXPECT_EQ(*list.Find("b"), "b");
    list.Add("a again", "a");  // the removed key is free again
    EXPECT_EQ(list.Count(), 3u);
}

TEST(Collection, ManyKeysBehaveLikeFew) {
    // Small collections search their keys one by one, large ones hash them:
    // both must find, refuse and remove alike.
    Collection<int> list;
    for (int i = 0; i < 40; ++i) {
        list.Add(i, "Key" + std::to_string(i));
        for (int j = 0; j <= i; ++j) ASSERT_EQ(*list.Find("KEY" + std::to_string(j)), j);
        EXPECT_FALSE(list.tryAdd(-1, "key" + std::to_string(i)));
    }
    list.Add(99);  // an item without a key in between
    for (int i = 39; i >= 0; i -= 2) list.Remove(*list.indexOf("key" + std::to_string(i)));
    EXPECT_EQ(list.Count(), 21u);
    EXPECT_EQ(list.Find("key39"), nullptr);
    EXPECT_EQ(*list.Find("KEY38"), 38);
    EXPECT_EQ(list.indexOf("key0"), 1u);
    EXPECT_TRUE(list.tryAdd(39, "Key39"));
}

TEST(Collection, KeysStayWholeThroughRemovalsAndAnIndexComingAndGoing) {
    // Keys share one text buffer and keep their hashes: removing must move
    // the others' text along, and an index dropped and built again must
    // find keys added while there was none.
    Collection<int> list;
    for (int i = 0; i < 12; ++i) list.Add(i, "Weapon_" + std::to_string(i));
    list.Add(100);
    for (int i = 0; i < 9; ++i) list.Remove(1);  // down to Weapon_9..11 and the keyless item
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.KeyAt(1), "Weapon_9");
    EXPECT_EQ(list.KeyAt(3), "Weapon_11");
    EXPECT_FALSE(list.KeyAt(4).has_value());
    for (int i = 20; i < 30; ++i) {
        std::string key = "Laser_" + std::to_string(i);
        ASSERT_TRUE(list.tryAdd(i, key));
    }
    for (int i = 20; i < 30; ++i) EXPECT_EQ(*list.Find("LASER_" + std::to_string(i)), i);
    EXPECT_EQ(*list.Find("weapon_10"), 10);
    EXPECT_FALSE(list.tryAdd(0, "WEAPON_11"));
    EXPECT_EQ(list.KeyAt(14), "Laser_29");
}

TEST(Collection, KeylessItemsBeforeAndAfterTheFirstKeyStayKeyless) {
    Collection<int> list;
    list.reserve(40);
    for (int i = 0; i < 20; ++i) list.Add(i);
    list.Remove(1);
    EXPECT_FALSE(list.Contains(""));
    EXPECT_FALSE(list.KeyAt(19).has_value());
    for (int i = 0; i < 10; ++i) list.Add(100 + i, "Unit" + std::to_string(i));
    list.Add(-1);
    ASSERT_EQ(list.Count(), 30u);
    EXPECT_EQ(list.Item(1), 1);
    EXPECT_FALSE(list.KeyAt(19).has_value());
    EXPECT_EQ(list.KeyAt(20), "Unit0");
    EXPECT_FALSE(list.KeyAt(30).has_value());
    EXPECT_EQ(*list.Find("UNIT9"), 109);
    list.Remove(20);
    EXPECT_EQ(list.indexOf("unit1"), 20u);
    EXPECT_FALSE(list.Contains("Unit0"));
}

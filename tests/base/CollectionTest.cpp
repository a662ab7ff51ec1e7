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

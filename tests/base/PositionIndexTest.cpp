#include "base/PositionIndex.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/TextCase.h"

using kloxmere::PositionIndex;

TEST(PositionIndex, FindsEachPositionThroughGrowthAndSharedHashes) {
    // Keys kept by the caller; every third shares its hash with the one before,
    // so only the caller's comparison tells them apart.
    std::vector<std::string> keys;
    std::vector<std::size_t> hashes;
    PositionIndex index;
    for (std::size_t i = 0; i < 5000; ++i) {
        keys.push_back("key" + std::to_string(i));
        hashes.push_back(i % 3 == 2 ? hashes.back() : kloxmere::HashNoCase(keys.back()));
        index.insert(i + 1, hashes.back());
    }
    EXPECT_EQ(index.size(), 5000u);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        auto found = index.find(hashes[i], [&](std::size_t p) { return keys[p - 1] == keys[i]; });
        ASSERT_EQ(found, i + 1) << keys[i];
    }
    EXPECT_FALSE(index.find(kloxmere::HashNoCase("missing"), [](std::size_t) { return false; }));
    EXPECT_FALSE(PositionIndex().find(1, [](std::size_t) { return true; }));
    EXPECT_THROW(index.insert(0, 1), std::out_of_range);
}

TEST(PositionIndex, ReplaceHandsBackTheEarlierPositionOfTheSameKey) {
    std::vector<std::string> keys = {"a", "b", "A", "c", "a", "B"};
    PositionIndex index;
    std::vector<std::optional<std::size_t>> replaced;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        replaced.push_back(index.replace(i + 1, kloxmere::HashNoCase(keys[i]), [&](std::size_t p) {
            return kloxmere::EqualsNoCase(keys[p - 1], keys[i]);
        }));
    }
    std::vector<std::optional<std::size_t>> expected = {
        std::nullopt, std::nullopt, 1, std::nullopt, 3, 2};
    EXPECT_EQ(replaced, expected);
    EXPECT_EQ(index.size(), 3u);  // one slot per key, at its last position
}

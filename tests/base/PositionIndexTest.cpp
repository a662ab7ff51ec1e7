#include "base/PositionIndex.h"

#include <gtest/gtest.h>

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

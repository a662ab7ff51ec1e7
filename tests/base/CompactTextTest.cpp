#include "base/CompactText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace kloxmere {
namespace {

// Lengths around the point where a text leaves the field for the heap.
const std::vector<std::size_t> kLengths = {0, 1, 14, 15, 16, 17, 40, 300};

std::string sample(std::size_t length, char first = 'a') {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>(first + i % 26));
    return text;
}

TEST(CompactText, KeepsEveryLengthWholeAndEndsInANul) {
    for (std::size_t length : kLengths) {
        const std::string text = sample(length);
        CompactText kept(text);
        EXPECT_EQ(kept.size(), length);
        EXPECT_EQ(kept.view(), text) << length;
        EXPECT_EQ(std::strlen(kept.c_str()), length) << length;
        EXPECT_EQ(kept.empty(), length == 0);
        EXPECT_EQ(kept.str(), text);
    }
}

TEST(CompactText, CopiesMovesAndReassignmentsKeepTheirOwnText) {
    for (std::size_t first : kLengths) {
        for (std::size_t second : kLengths) {
            const std::string a = sample(first, 'a'), b = sample(second, 'A');
            CompactText x(a), y(b);
            CompactText copy(x);
            y = x;  // both texts now equal, each its own
            x = b;
            EXPECT_EQ(copy.view(), a);
            EXPECT_EQ(y.view(), a);
            EXPECT_EQ(x.view(), b);
            CompactText moved(std::move(y));
            EXPECT_EQ(moved.view(), a);
            EXPECT_TRUE(y.empty());  // NOLINT: a moved-from text is empty
            y = std::move(x);
            EXPECT_EQ(y.view(), b);
            EXPECT_TRUE(x.empty());  // NOLINT
            x = x;                   // assigning a text to itself keeps it
            if (!b.empty()) {
                y = y.view().substr(1);  // and a part of itself
                EXPECT_EQ(y.view(), b.substr(1)) << first << " " << second;
            }
        }
    }
}

TEST(CompactText, ComparesAndJoinsAsTheStringItHolds) {
    CompactText name("ARMCOM"), longer("units\\ARMCOM.FBI");
    EXPECT_EQ(name, "ARMCOM");
    EXPECT_EQ(name, std::string("ARMCOM"));
    EXPECT_NE(name, "ARMCO");
    EXPECT_LT(name, longer);
    EXPECT_EQ(name + ".FBI", "ARMCOM.FBI");
    EXPECT_EQ("units\\" + name, "units\\ARMCOM");
    std::string appended = "unit ";
    appended += longer;
    EXPECT_EQ(appended, "unit units\\ARMCOM.FBI");
    const std::string bytes("a\0b", 3);  // a NUL inside is kept, not an end
    EXPECT_EQ(CompactText(bytes).size(), 3u);
    EXPECT_EQ(CompactText("Tour légère").view(), "Tour légère");
}

}  // namespace
}  // namespace kloxmere

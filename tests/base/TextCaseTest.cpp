// Case-blind comparison and hashing of names across the eight-byte steps
// they are taken in, and the stable content digest.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ContentHash.h"
#include "base/TextCase.h"

using namespace kloxmere;

namespace {

// "ArmCom_..." of every length from 0 to 20, so that each length meets the
// word boundaries differently.
std::vector<std::string> mixedCaseNames() {
    const std::string source = "ArmCom_Laser[Z]@`{9";
    std::vector<std::string> names;
    for (std::size_t n = 0; n <= source.size(); ++n) names.push_back(source.substr(0, n));
    return names;
}

}  // namespace

TEST(TextCase, CaseVariantsCompareAndHashAlikeAtEveryLength) {
    for (const std::string& name : mixedCaseNames()) {
        std::string lower = LowerCase(name), upper = UpperCase(name);
        EXPECT_TRUE(EqualsNoCase(lower, upper)) << name;
        EXPECT_EQ(HashNoCase(lower), HashNoCase(upper)) << name;
        EXPECT_EQ(HashNoCase(name), HashNoCase(lower)) << name;
        if (name.empty()) continue;
        // "@" and "`", "[" and "{" sit next to the letters but are not their cases.
        std::string changed = name;
        changed.back() = changed.back() == '@' ? '`' : static_cast<char>(changed.back() ^ 0x40);
        EXPECT_FALSE(EqualsNoCase(name, changed)) << name << " / " << changed;
        EXPECT_FALSE(EqualsNoCase(name, name + "x")) << name;
    }
    EXPECT_FALSE(EqualsNoCase("[", "{"));
    EXPECT_FALSE(EqualsNoCase("@", "`"));
    EXPECT_TRUE(EqualsNoCase("CAFÉ_NOIR", "café_noir"));
    EXPECT_EQ(HashNoCase("CAFÉ_NOIR"), HashNoCase("café_noir"));
}

TEST(TextCase, ALetterBeyondAsciiFoldsWhereverItFalls) {
    // The accented letter moves across the eight-byte steps; the ASCII
    // letters before and after it differ in case as well.
    for (std::size_t at = 0; at <= 12; ++at) {
        std::string upper = std::string(at, 'R') + "É" + "SEAU",
                    lower = std::string(at, 'r') + "é" + "seau";
        EXPECT_TRUE(EqualsNoCase(upper, lower)) << at;
        EXPECT_TRUE(EqualsNoCase(lower, upper)) << at;
        EXPECT_EQ(HashNoCase(upper), HashNoCase(lower)) << at;
        EXPECT_FALSE(EqualsNoCase(upper, std::string(at, 'r') + "e" + "seau")) << at;
        EXPECT_FALSE(EqualsNoCase(upper, std::string(at, 'r') + "è" + "seau")) << at;
        if (at > 0) {
            EXPECT_FALSE(EqualsNoCase(upper, std::string(at, 'x') + "é" + "seau")) << at;
        }
    }
}

TEST(TextCase, AByteAboveAsciiIsFoundAnywhere) {
    for (std::size_t length = 1; length <= 19; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string text(length, 'a');
            text[at] = '\xe9';
            EXPECT_FALSE(IsAscii(text)) << length << " " << at;
        }
        EXPECT_TRUE(IsAscii(std::string(length, '\x7f')));
    }
    EXPECT_TRUE(IsAscii(""));
}

TEST(ContentHash, KeepsItsValuesAndSeesEveryByte) {
    // Digests are exchanged between installations: these values must not change.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 40; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7));
    EXPECT_EQ(HashBytes({}), 0x486792e91c4cb9f7ULL);
    const std::uint64_t whole = HashBytes(bytes);
    EXPECT_EQ(whole, 0x0a7c1e83c29bdc9aULL);
    EXPECT_NE(HashBytes(bytes, 1), whole);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        EXPECT_NE(HashBytes(std::span(bytes).first(n)), whole) << n;
        std::vector<std::uint8_t> flipped = bytes;
        flipped[n] ^= 1;
        EXPECT_NE(HashBytes(flipped), whole) << n;
    }
    // A trailing zero byte is not the same as none.
    std::vector<std::uint8_t> padded = {1, 2, 3};
    std::vector<std::uint8_t> longer = {1, 2, 3, 0};
    EXPECT_NE(HashBytes(padded), HashBytes(longer));
}

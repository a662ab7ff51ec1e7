#include "base/Windows1252.h"

#include <gtest/gtest.h>

#include <string>

#include "base/TextCase.h"

using namespace kloxmere;

TEST(Windows1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string utf8 = DecodeWindows1252(all);
    EXPECT_EQ(EncodeWindows1252(utf8), all);
}

TEST(Windows1252, DecodesTheSpecialRangeAndTheUnassignedBytes) {
    EXPECT_EQ(DecodeWindows1252(std::string("\x80", 1)), "€");
    EXPECT_EQ(DecodeWindows1252(std::string("\xE9", 1)), "é");
    EXPECT_EQ(DecodeWindows1252(std::string("\x81", 1)), "\xC2\x81");
    EXPECT_EQ(DecodeWindows1252(std::string("\x9D", 1)), "\xC2\x9D");
}

TEST(Windows1252, CharactersWithoutAByteBecomeQuestionMarks) {
    EXPECT_EQ(EncodeWindows1252("a漢b"), "a?b");
    EXPECT_EQ(EncodeWindows1252("x\xFFy"), "x?y");  // malformed UTF-8
    EXPECT_FALSE(IsWindows1252Encodable("漢"));
    EXPECT_TRUE(IsWindows1252Encodable("Café €"));
}

TEST(TextCase, FoldsAsciiAndWindowsLetters) {
    EXPECT_TRUE(EqualsNoCase("ArmCom", "ARMCOM"));
    EXPECT_TRUE(EqualsNoCase("ÉTÉ", "été"));
    EXPECT_TRUE(EqualsNoCase("ŠŒŽŸ", "šœžÿ"));
    EXPECT_FALSE(EqualsNoCase("arm", "arms"));
    EXPECT_TRUE(ContainsNoCase("C:\\Games\\TA\\XTA_units.ufo", "xta"));
    EXPECT_EQ(LastCharacters("rev.hpé", 3), "hpé");
    EXPECT_TRUE(LessNoCase("alpha.hpi", "BETA.hpi"));
    EXPECT_TRUE(LessNoCase("REV.HPI", "rev.hpi"));  // ties fall back to the bytes
}

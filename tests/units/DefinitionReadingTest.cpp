// Reading the game's definition texts: unit files, weapon files, download files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Windows1252.h"
#include "units/DefinitionText.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/clsWeapon.h"
#include "units/modGeneric.h"

using namespace kloxmere;
using namespace std::string_literals;

namespace {

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

clsUnit unitFrom(std::string_view text) {
    clsUnit unit;
    ReadUnitDefinition(unit, text);
    return unit;
}

}  // namespace

TEST(DefinitionLines, AnyLineEndEndsALine) {
    EXPECT_EQ(linesOf("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(linesOf("\n\r"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(linesOf("").empty());
}

TEST(DefinitionLines, SplitAtTheFirstEqualsAndTheFirstSemicolon) {
    auto split = SplitDefinitionLine("Description=Builds things; fast;");
    EXPECT_EQ(split.key, "Description");
    EXPECT_EQ(split.value, "Builds things");
    split = SplitDefinitionLine("Name=Commander");
    EXPECT_EQ(split.value, "Commander");
    split = SplitDefinitionLine("UnitName = ARMSOLAR ;");
    EXPECT_EQ(split.key, "UnitName");
    EXPECT_EQ(split.value, "ARMSOLAR");
    split = SplitDefinitionLine("a;b=c");
    EXPECT_EQ(split.key, "a;b");
    EXPECT_EQ(split.value, "");
    EXPECT_EQ(SplitDefinitionLine("[UNITINFO]").key, "");
}

TEST(DefinitionLines, LeadingIntegerReadsNumbersLikeTheGameTools) {
    EXPECT_EQ(LeadingInteger("12"), 12);
    EXPECT_EQ(LeadingInteger("  12  "), 12);
    EXPECT_EQ(LeadingInteger("1 2"), 12);
    EXPECT_EQ(LeadingInteger("-7abc"), -7);
    EXPECT_EQ(LeadingInteger("2.5"), 2);  // halves go to the even neighbour
    EXPECT_EQ(LeadingInteger("3.5"), 4);
    EXPECT_EQ(LeadingInteger("1e2"), 100);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("2147483647"), 2147483647);
    EXPECT_EQ(LeadingInteger("2147483648"), std::nullopt);
}

TEST(DefinitionLines, RemovePreBlanksTakesOneTabOnly) {
    EXPECT_EQ(RemovePreBlanks("\tMENU=1; "), "MENU=1;");
    EXPECT_EQ(RemovePreBlanks("\t\tMENU=1;"), "\tMENU=1;");
}

TEST(UnitDefinition, RecognisedKeysInAnyCase) {
    for (const char* line : {"UnitName=ARMCOM;", "unitname=ARMCOM;", "UNITNAME=ARMCOM;"}) {
        EXPECT_EQ(unitFrom(line).Name, "ARMCOM") << line;
    }
    clsUnit unit = unitFrom(
        "[UNITINFO]\r\n{\r\n\tUnitName=ARMCOM;\r\n\tSide=ARM;\r\n\tName=Commander\r\n"
        "\tTEDClass=COMMANDER;\r\n\tDescription=Builds things; fast;\r\n\tUnitNumber=1;\r\n"
        "\tMaxDamage=1200;  \r\n\tBuildTime=80000;\r\n\tBuildCostEnergy=0;\r\n"
        "\tBuildCostMetal=0;\r\n\tSightDistance=450;\r\n}\r\n");
    EXPECT_EQ(unit.Side, "ARM");
    EXPECT_EQ(unit.Callname, "Commander");
    EXPECT_EQ(unit.Class, "COMMANDER");
    EXPECT_EQ(unit.Description, "Builds things");
    EXPECT_EQ(unit.ID, "1");
    EXPECT_EQ(unit.MaxDamage, "1200");
    EXPECT_EQ(unit.BuildTime, "80000");
    EXPECT_EQ(unit.CostEnergy, "0");
    EXPECT_EQ(unit.CostMetal, "0");
    EXPECT_EQ(unit.SightDistance, "");  // no definition key fills it
}

TEST(UnitDefinition, BlanksAroundTheEqualsSignAreTrimmed) {
    clsUnit unit = unitFrom("UnitName = ARMSOLAR;\nName = Solar Collector ;\n");
    EXPECT_EQ(unit.Name, "ARMSOLAR");
    EXPECT_EQ(unit.Callname, "Solar Collector");
}

TEST(UnitDefinition, LastValueWinsAndWeaponKeysAppend) {
    clsUnit unit =
        unitFrom("Side=ARM;\nWeapon1=ARM_LASER;\nWeapon3=ARM_LASER;\nWeapon2=;\nSide=CORE;\n");
    EXPECT_EQ(unit.Side, "CORE");
    EXPECT_EQ(unit.WeaponNames, (std::vector<CompactText>{"ARM_LASER", "ARM_LASER", ""}));
}

TEST(UnitDefinition, CommentsSectionsAndStrayLinesChangeNothing) {
    clsUnit unit = unitFrom("// Name=x;\n[Side=CORE]\n{\n}\nCategory=ARM LEVEL1;\nx;y=z\n");
    EXPECT_EQ(unit.Callname, "");
    EXPECT_EQ(unit.Side, "");
    EXPECT_TRUE(unitFrom("").Name.empty());
}

TEST(UnitDefinition, WindowsTextArrivesAsUtf8AndAnyLineEndWorks) {
    clsUnit unit = unitFrom(DecodeWindows1252(
        std::string_view("UnitName=ARMX;\rDescription=Caf\xE9 builder;\nSide=ARM;")));
    EXPECT_EQ(unit.Description, "Café builder");
    EXPECT_EQ(unit.Side, "ARM");  // the last line needs no line end
}

TEST(WeaponDefinitions, ANestedSectionsClosingBraceEndsTheWeapon) {
    auto weapons = ReadWeaponDefinitions(
        "[LASER]\r\n{\r\nID=12;\r\n[DAMAGE]\r\n{\r\ndefault=10;\r\n}\r\n}\r\n");
    ASSERT_EQ(weapons.size(), 1u);
    EXPECT_EQ(weapons[0]->Name, "LASER");
    EXPECT_EQ(weapons[0]->ID, 12);
}

TEST(WeaponDefinitions, ManyWeaponsInFileOrderWithTheirNumbers) {
    std::string text;
    for (int i = 0; i < 240; ++i) {
        text += "[W" + std::to_string(i) +
                "]\n\t{\n\tname=Weapon;\n\tid = " + std::to_string(i % 256) +
                " ;\n\t[DAMAGE]\n\t\t{\n\t\tdefault=5;\n\t\t}\n\t}\n";
    }
    auto weapons = ReadWeaponDefinitions(text);
    ASSERT_EQ(weapons.size(), 240u);
    EXPECT_EQ(weapons[239]->Name, "W239");
    EXPECT_EQ(weapons[239]->ID, 239);
}

TEST(WeaponDefinitions, AWeaponWithoutClosingBraceIsLost) {
    auto weapons = ReadWeaponDefinitions("[A]\n{\nid=1;\n}\n[B]\n{\nid=2;\n");
    ASSERT_EQ(weapons.size(), 1u);
    EXPECT_EQ(weapons[0]->Name, "A");
}

TEST(WeaponDefinitions, AMalformedNumberLineEndsTheFile) {
    auto weapons = ReadWeaponDefinitions("[A]\n{\nid=1;\n}\n[B]\n{\nid=2\n}\n[C]\n{\nid=3;\n}\n");
    ASSERT_EQ(weapons.size(), 1u);
    EXPECT_EQ(weapons[0]->Name, "A");
}

TEST(WeaponDefinitions, NumbersWithoutEqualsAndBracketsInsideAWeapon) {
    auto weapons = ReadWeaponDefinitions("[A]\n{\nid 7;\n[IGNORED]\n}\n");
    ASSERT_EQ(weapons.size(), 1u);
    EXPECT_EQ(weapons[0]->Name, "A");
    EXPECT_EQ(weapons[0]->ID, 0);  // "id 7" holds no leading number
}

TEST(MenuEntries, KeysInAnyOrderAndIndentation) {
    auto entries = ReadMenuEntries(
        "[MENUENTRY1]\n\t{\n\t\tUNITMENU=ARMCOM;\n\t\tMENU=10;\n\t\tBUTTON=3;\n"
        "\t\tUNITNAME=ARMSOLAR;\n\t}\n"
        "[MENUENTRY2]\r\n{\r\nunitname = ARMMEX ;\r\nbutton=1;\r\nUnitMenu=ARMCOM;\r\n"
        "menu=2;\r\n}\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0]->Key(), "ARMCOM 10 3 ARMSOLAR");
    EXPECT_EQ(entries[1]->BuilderUnit, "ARMCOM");
    EXPECT_EQ(entries[1]->Menu, "2");
    EXPECT_EQ(entries[1]->Button, "1");
    EXPECT_EQ(entries[1]->Unit, "ARMMEX");
}

TEST(MenuEntries, AMissingKeyLeavesItsFieldEmpty) {
    auto entries = ReadMenuEntries("{\nUNITMENU=ARMCOM;\nUNITNAME=ARMSOLAR;\n}\n{\nMENU=1;");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0]->Menu, "");
    EXPECT_EQ(entries[0]->Location(), "ARMCOM  ");
    EXPECT_EQ(entries[1]->Menu, "1");  // a block the file never closed still counts
}

TEST(MenuEntryRecord, KeyAndLocationJoinWithSingleBlanks) {
    clsMenuEntry entry;
    EXPECT_EQ(entry.Key(), "   ");
    entry.BuilderUnit = "ARMCOM";
    entry.Menu = "1";
    entry.Button = "3";
    entry.Unit = "ARMSOLAR";
    EXPECT_EQ(entry.Key(), "ARMCOM 1 3 ARMSOLAR");
    EXPECT_EQ(entry.GenerateKey(), entry.Key());
    EXPECT_EQ(entry.Location(), "ARMCOM 1 3");
}

namespace {

// Definition text built from the pieces the line cleaner and the readers treat
// specially, so that every mix of them occurs: blanks, tabs and NULs at the
// ends and inside, every line end, brackets, braces, "=", ";", recognised keys
// in odd cases and bytes of the code page's upper half.
std::string mixedDefinitionText(unsigned seed) {
    static constexpr std::string_view kPieces[] = {
        "UnitName", "uNITnAME", "Side",    "name",     "TEDClass", "Weapon1",
        "WEAPON5",  "id",       "ID",      "Id",       "MENU",     "UNITMENU",
        "button",   "unitname", "Caf\xE9", "\x80\x9F", "=",        "=",
        ";",        ";",        " ",       " ",        "\t",       std::string_view("\0", 1),
        "[",        "]",        "{",       "}",        "\r\n",     "\n",
        "\r",       "ARM",      "12",      "-3.5",     "1e2",      "x",
        "//",       "[W1]",     "\t\t",    "  ",
    };
    std::string text;
    unsigned state = seed * 2654435761u + 1;
    for (int i = 0; i < 400; ++i) {
        state = state * 1103515245u + 12345u;
        text += kPieces[(state >> 16) % std::size(kPieces)];
    }
    return text;
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

// The one-pass line scanner must see each line exactly as CleanLine and
// SplitDefinitionLine do, whatever stands where.
TEST(DefinitionLines, OnePassLinesEqualCleanLineAndSplit) {
    for (unsigned seed = 0; seed < 200; ++seed) {
        std::string text = mixedDefinitionText(seed);
        std::vector<std::string> expected, seen;
        ForEachLine(text, [&](std::string_view raw) {
            std::string cleaned = CleanLine(raw);
            DefinitionLine split = SplitDefinitionLine(cleaned);
            expected.push_back(cleaned + "|" + std::string(split.key) + "|" +
                               std::string(split.value) + "|" +
                               (cleaned.find('}') != std::string::npos ? "}" : "") +
                               std::to_string(cleaned.find(']')));
        });
        ForEachCleanedLine(text, [&](const CleanedLine& line) {
            DefinitionLine split = line.split();
            seen.push_back(std::string(line.text) + "|" + std::string(split.key) + "|" +
                           std::string(split.value) + "|" + (line.hasCloseBrace ? "}" : "") +
                           std::to_string(line.closeBracket));
        });
        ASSERT_EQ(seen, expected) << "seed " << seed;
    }
}

// Reading the code page's bytes directly gives the records that decoding the
// whole file first gives.
TEST(DefinitionLines, ReadingBytesEqualsReadingDecodedText) {
    for (unsigned seed = 0; seed < 200; ++seed) {
        std::string raw = mixedDefinitionText(seed);
        std::string text = DecodeWindows1252(raw);

        clsUnit fromText, fromBytes;
        ReadUnitDefinition(fromText, text);
        ReadUnitDefinitionBytes(fromBytes, bytesOf(raw));
        EXPECT_EQ(fromBytes.Name, fromText.Name) << seed;
        EXPECT_EQ(fromBytes.Side, fromText.Side) << seed;
        EXPECT_EQ(fromBytes.Callname, fromText.Callname) << seed;
        EXPECT_EQ(fromBytes.Class, fromText.Class) << seed;
        EXPECT_EQ(fromBytes.WeaponNames, fromText.WeaponNames) << seed;

        auto weaponsFromText = ReadWeaponDefinitions(text);
        auto weaponsFromBytes = ReadWeaponDefinitionsBytes(bytesOf(raw));
        ASSERT_EQ(weaponsFromBytes.size(), weaponsFromText.size()) << seed;
        for (std::size_t i = 0; i < weaponsFromText.size(); ++i) {
            EXPECT_EQ(weaponsFromBytes[i]->Name, weaponsFromText[i]->Name) << seed;
            EXPECT_EQ(weaponsFromBytes[i]->ID, weaponsFromText[i]->ID) << seed;
        }

        auto entriesFromText = ReadMenuEntries(text);
        auto entriesFromBytes = ReadMenuEntriesBytes(bytesOf(raw));
        ASSERT_EQ(entriesFromBytes.size(), entriesFromText.size()) << seed;
        for (std::size_t i = 0; i < entriesFromText.size(); ++i) {
            EXPECT_EQ(entriesFromBytes[i]->Key(), entriesFromText[i]->Key()) << seed;
        }
    }
}

TEST(DefinitionLines, TabsInsideALineAreRemovedNotKept) {
    clsUnit unit = unitFrom("\tUnit\tName=AR\tM;\t \nSide\0=CORE;\n"s);
    EXPECT_EQ(unit.Name, "ARM");
    EXPECT_EQ(unit.Side, "CORE");
}

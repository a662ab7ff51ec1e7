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

using namespace kloxmere;

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
    EXPECT_EQ(unit.WeaponNames, (std::vector<std::string>{"ARM_LASER", "ARM_LASER", ""}));
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

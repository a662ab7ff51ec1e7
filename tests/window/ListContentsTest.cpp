// The list's rows without a widget: filter, sort, the cells as shown.

#include <gtest/gtest.h>

#include "app/Session.h"
#include "base/FileSystem.h"
#include "catalogue/ListRows.h"
#include "tests/window/PresenterFixture.h"
#include "window/ColumnWidths.h"
#include "window/ProgressPercent.h"

using namespace kloxmere;
using namespace kloxmere::test;
using window::ListContents;
using Strings = std::vector<std::string>;

namespace {

Strings column(const ListContents& list, std::size_t c) {
    Strings texts;
    for (std::size_t row = 0; row < list.rowCount(); ++row) texts.push_back(list.cellText(row, c));
    return texts;
}

ListContents unitsOf(PresenterFixture& f) {
    ListContents list(f.catalogue());
    list.setColumns(ColumnSet("Units"));
    ViewState view;
    list.setItems(kUnitsTab, FillUnitItems(f.catalogue(), view, f.services));
    return list;
}

}  // namespace

TEST(WindowListContents, SortAndFilterKeepOneOrderAndAStaleFilterLooksAtEveryRow) {
    PresenterFixture f;
    ListContents list = unitsOf(f);
    ASSERT_EQ(list.rowCount(), 10u);
    list.sortByColumn(1);  // ID, by number
    const Strings ids{"1", "2", "3", "4", "5", "6", "7", "40", "41", "60"};
    EXPECT_EQ(column(list, 1), ids);

    EXPECT_TRUE(list.setFilter("nova"));
    EXPECT_FALSE(list.setFilter("NOVA"));  // the same filter
    EXPECT_EQ(column(list, 0), (Strings{"NOVACOM", "NOVATANK"}));
    EXPECT_EQ(list.totalCount(), 10u);
    EXPECT_TRUE(list.setFilter("novat"));  // narrower: looks at the rows shown
    EXPECT_EQ(column(list, 0), Strings{"NOVATANK"});
    // Sorting the filtered rows gives the same subsequence as sorting them all.
    list.sortByColumn(0);
    EXPECT_TRUE(list.setFilter(""));
    EXPECT_EQ(list.rowCount(), 10u);
    EXPECT_EQ(list.cellText(0, 0), "ARMBOLT");

    // After a switch the archive column changed: a narrower filter looks at
    // every row again, not only at those the last one kept (retro.xufo's).
    EXPECT_TRUE(list.setFilter("xuf"));
    const std::size_t before = list.rowCount();
    ASSERT_GT(before, 0u);
    f.presenter->Run(window::CommandId::DisableGroup);  // aurora.ufo becomes aurora.xufo
    ASSERT_TRUE(std::filesystem::exists(PathFromUtf8(f.ta + "aurora.xufo")));
    list.markStale();
    EXPECT_TRUE(list.setFilter("xufo"));
    EXPECT_GT(list.rowCount(), before);
}

TEST(WindowListContents, CellsOutsideTheRowsAreEmptyAndLongOnesAreCutOnACharacter) {
    PresenterFixture f;
    ListContents list = unitsOf(f);
    EXPECT_EQ(list.cellText(10, 0), "");
    EXPECT_EQ(list.cellText(0, 10), "");
    EXPECT_EQ(list.item(-1), nullptr);
    EXPECT_EQ(list.item(std::size_t{10}), nullptr);
    EXPECT_EQ(list.rowIcon(10), 0);
    EXPECT_FALSE(list.rowKey(10));
    ASSERT_TRUE(list.rowKey(0));
    EXPECT_EQ(list.rowOfUnit(nullptr), std::nullopt);
    list.setColumns(ColumnSet("Weapons"));  // new columns remove the rows
    EXPECT_EQ(list.rowCount(), 0u);

    EXPECT_EQ(window::ShownCellText(std::string(1000, 'a')), std::string(1000, 'a'));
    // "é" is two bytes; the cut falls inside the one at bytes 999 and 1000.
    const std::string text = std::string(999, 'a') + "\xC3\xA9" + "tail";
    EXPECT_EQ(window::ShownCellText(text), std::string(999, 'a') + "...");
    EXPECT_EQ(window::FilteredRowsText(12, 1441), "12 of 1,441 rows");
    EXPECT_EQ(window::FilteredRowsText(0, 1), "0 of 1 row");
    EXPECT_EQ(window::FilteredRowsText(1234567, 1234567), "1,234,567 of 1,234,567 rows");
}

TEST(WindowListContents, ColumnsHoldTheirDesignedCharactersInTheListFont) {
    // The design font: 6 pixels a character at 96 dpi, so 300 twips are 20 pixels.
    EXPECT_EQ(window::ColumnPixels(300, 6, 4), 24);
    // A font twice as wide doubles the text's room, not the margins.
    EXPECT_EQ(window::ColumnPixels(300, 12, 4), 44);
    // At 144 dpi the same 8-point font measures 9 pixels: the column grows
    // with it once, not once for the resolution and again for the font.
    EXPECT_EQ(window::ColumnPixels(300, 9, 6), 36);
    EXPECT_EQ(window::ColumnPixels(0, 9, 6), 6);
}

TEST(WindowProgress, TheBarTakesTheRoundedPercentageAndKeepsItsValueOnNonsense) {
    using window::ProgressPercent;
    EXPECT_EQ(ProgressPercent(50, 200), 25);
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(1, 8), 12);  // 12.5: halves go to the even neighbour
    EXPECT_EQ(ProgressPercent(3, 8), 38);  // 37.5
    EXPECT_EQ(ProgressPercent(2, 2), 100);
    EXPECT_EQ(ProgressPercent(0, 0), std::nullopt);
    EXPECT_EQ(ProgressPercent(5, 0), std::nullopt);
    EXPECT_EQ(ProgressPercent(3, 2), std::nullopt);
    EXPECT_EQ(ProgressPercent(-1, 2), std::nullopt);
}

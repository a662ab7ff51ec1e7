#include "graphics/Palette.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

using namespace kloxmere;

namespace {

using Bytes = std::vector<std::uint8_t>;

PaletteEntry grey(std::uint8_t level) {
    return {level, level, level, 0};
}

}  // namespace

TEST(LoadPalette, TripletsBecomeBlueGreenRedEntriesAndUncoveredOnesStayGrey) {
    Bytes dat(768, 0);
    dat[3] = 255;  // second triplet 255, 0, 0
    EXPECT_EQ(LoadPalette(dat)[1],
              (PaletteEntry{.blue = 0, .green = 0, .red = 255, .reserved = 0}));

    GamePalette palette = LoadPalette(Bytes(100, 7));  // 33 triplets and a byte
    EXPECT_EQ(palette[32], grey(7));
    EXPECT_EQ(palette[33], grey(33));
    EXPECT_EQ(palette[255], grey(255));
    EXPECT_EQ(LoadPalette(Bytes{}), GreyRampPalette());
}

TEST(LoadGamePal, FourByteEntriesWhoseLastByteIsIgnored) {
    Bytes pal(1024, 0xEE);
    pal[4] = 9, pal[5] = 8, pal[6] = 7;
    pal.pop_back();  // the last entry keeps its colour without its unused byte
    GamePalette palette = LoadGamePal(pal);
    EXPECT_EQ(palette[1], (PaletteEntry{7, 8, 9, 0}));
    EXPECT_EQ(palette[255], (PaletteEntry{0xEE, 0xEE, 0xEE, 0}));
    pal.pop_back();
    EXPECT_EQ(LoadGamePal(pal)[255], grey(255));
}

TEST(ChooseGamePalette, PrefersPaletteDatThenTheGamePaletteThenGrey) {
    test::TempDir dir;
    int finderCalls = 0;
    GamePalFinder finder = [&]() -> std::optional<Bytes> {
        ++finderCalls;
        return Bytes(1024, 9);
    };
    EXPECT_EQ(ChooseGamePalette(dir.path(), finder)[1], (PaletteEntry{9, 9, 9, 0}));
    EXPECT_EQ(ChooseGamePalette(dir.path(), [] { return std::optional<Bytes>(); }),
              GreyRampPalette());
    EXPECT_EQ(ChooseGamePalette(dir.path(), nullptr), GreyRampPalette());

    dir.write("palette.dat", Bytes{1, 2, 3});
    finderCalls = 0;
    EXPECT_EQ(ChooseGamePalette(dir.path(), finder)[0], (PaletteEntry{3, 2, 1, 0}));
    EXPECT_EQ(finderCalls, 0);
    EXPECT_EQ(LoadPalette(dir.path()), std::nullopt);  // a directory
}

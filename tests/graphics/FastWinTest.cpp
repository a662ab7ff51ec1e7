#include "graphics/clsFastWin.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kloxmere;

namespace {

class MemoryBitmap final : public FastWinBitmap {
  public:
    explicit MemoryBitmap(std::size_t bytes) : memory(bytes, 0) {}
    std::uint8_t* bits() override { return memory.data(); }
    std::vector<std::uint8_t> memory;
};

// Makes bitmaps in plain memory (or refuses to) and records what it was asked.
class RecordingWindow final : public FastWinWindow {
  public:
    bool givesMemory = true;
    std::vector<BitmapInfo> descriptions;
    std::vector<LogicalPalette> realised;

    std::unique_ptr<FastWinBitmap> CreateDIBSection(const BitmapInfo& description) override {
        descriptions.push_back(description);
        if (!givesMemory) return nullptr;
        const auto& header = description.bmiHeader;
        const std::size_t rows = static_cast<std::size_t>(
            header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight);
        return std::make_unique<MemoryBitmap>((static_cast<std::size_t>(header.biWidth) + 3) / 4 *
                                              4 * rows);
    }
    void RealizePalette(const LogicalPalette& palette) override { realised.push_back(palette); }
};

// Counts the copies made onto it.
class CountingDC final : public FastWinDC {
  public:
    int copies = 0;
    void BitBlt(std::int32_t, std::int32_t, std::int32_t, std::int32_t, FastWinBitmap&,
                std::int32_t, std::int32_t) override {
        ++copies;
    }
    void StretchBlt(std::int32_t, std::int32_t, std::int32_t, std::int32_t, FastWinBitmap&,
                    std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {
        ++copies;
    }
};

GamePalette paletteWithEntry7() {
    GamePalette palette = GreyRampPalette();
    palette[7] = {10, 20, 30, 0};  // blue, green, red
    return palette;
}

}  // namespace

TEST(FastWinTest, InitializeMakesATopDownSurfaceFromThePalette) {
    RecordingWindow window;
    clsFastWin surface(paletteWithEntry7());
    ASSERT_TRUE(surface.Initialize(96, 96, &window));

    EXPECT_EQ(surface.BmpWidth, 96);
    EXPECT_EQ(surface.BmpHeight, 96);
    EXPECT_EQ(surface.hWindow, &window);
    ASSERT_NE(surface.hBitmap, nullptr);
    EXPECT_EQ(surface.addrBits, surface.hBitmap->bits());
    EXPECT_EQ(surface.RowBytes(), 96);
    EXPECT_EQ(surface.Rows(), 96);
    EXPECT_EQ(static_cast<MemoryBitmap*>(surface.hBitmap)->memory.size(), 9216u);

    ASSERT_EQ(window.descriptions.size(), 1u);
    const BitmapInfoHeader& header = window.descriptions[0].bmiHeader;
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 96);
    EXPECT_EQ(header.biHeight, -96);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biCompression, 0u);
    EXPECT_EQ(header.biClrUsed, 256u);
    EXPECT_EQ(header.biClrImportant, 256u);
    EXPECT_EQ(window.descriptions[0].bmiColors[7], (PaletteEntry{10, 20, 30, 0}));

    const LogicalPaletteEntry& entry = surface.logicalPalette().palPalEntry[7];
    EXPECT_EQ(surface.logicalPalette().palVersion, 0x300);
    EXPECT_EQ(surface.logicalPalette().palNumEntries, 256);
    EXPECT_EQ(entry.peRed, 30);
    EXPECT_EQ(entry.peGreen, 20);
    EXPECT_EQ(entry.peBlue, 10);
    EXPECT_EQ(entry.peFlags, kPaletteNoCollapse);
    // Realised when the bitmap is made and again once it has memory.
    ASSERT_EQ(window.realised.size(), 2u);
    EXPECT_EQ(window.realised[1].palPalEntry[7].peRed, 30);
}

TEST(FastWinTest, NegativeHeightGivesTheSameSurfaceButKeepsTheValue) {
    RecordingWindow window;
    clsFastWin surface(GreyRampPalette());
    ASSERT_TRUE(surface.Initialize(96, -96, &window));
    EXPECT_EQ(surface.BmpHeight, -96);
    EXPECT_EQ(surface.Rows(), 96);
    EXPECT_EQ(window.descriptions[0].bmiHeader.biHeight, -96);
    EXPECT_EQ(static_cast<MemoryBitmap*>(surface.hBitmap)->memory.size(), 9216u);
}

TEST(FastWinTest, RowsAreFourByteAligned) {
    RecordingWindow window;
    clsFastWin surface(GreyRampPalette());
    ASSERT_TRUE(surface.Initialize(5, 3, &window));
    EXPECT_EQ(surface.RowBytes(), 8);
    EXPECT_EQ(static_cast<MemoryBitmap*>(surface.hBitmap)->memory.size(), 24u);
}

TEST(FastWinTest, NoMemoryFailsAndShowDrawsNothing) {
    RecordingWindow refusing;
    refusing.givesMemory = false;
    clsFastWin surface(GreyRampPalette());
    EXPECT_FALSE(surface.Initialize(96, 96, &refusing));
    EXPECT_EQ(surface.addrBits, nullptr);
    EXPECT_EQ(surface.hBitmap, nullptr);
    EXPECT_EQ(surface.hWindow, &refusing);

    RecordingWindow window;
    EXPECT_FALSE(surface.Initialize(0, 96, &window));
    EXPECT_FALSE(surface.Initialize(96, 0, &window));
    EXPECT_FALSE(surface.Initialize(-4, 96, &window));
    EXPECT_FALSE(surface.Initialize(96, clsFastWin::kMaxSide + 1, &window));
    EXPECT_TRUE(window.descriptions.empty());  // no bitmap was asked for

    CountingDC dc;
    surface.Show(dc, 0, 0, 96, 96, 0, 0, 96, 96, false);
    clsFastWin never(GreyRampPalette());
    never.Show(dc, 0, 0, 96, 96, 0, 0, 96, 96, true);
    EXPECT_EQ(dc.copies, 0);
}

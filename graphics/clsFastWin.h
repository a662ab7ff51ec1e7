#pragma once

// An off-screen drawing surface: an 8-bit, palette-indexed, top-down bitmap
// whose pixel memory the program writes directly (one palette index per
// byte) and then copies onto a window. Its colour table is the game palette,
// so decoded build pictures show the game's colours.
//
// This half holds what does not depend on a window system: the bitmap
// description, the logical palette, the fields and the order of the calls.
// The window system supplies the bitmap and the copies through the three
// small interfaces below (the Qt half lives in ui/QtFastWin.h).

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/Palette.h"

namespace kloxmere {

// A bitmap description: the bitmap-info header followed by a 256-entry colour
// table, laid out as the device-independent bitmaps of the game's platform.
struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;  // negative: top-down, the first row in memory is the top row
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 8;
    std::uint32_t biCompression = 0;  // none
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 256;
    std::uint32_t biClrImportant = 256;
};

struct BitmapInfo {
    BitmapInfoHeader bmiHeader;
    GamePalette bmiColors{};  // blue, green, red, 0
};

struct LogicalPaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
};

// The flag that keeps each entry a distinct slot of a realised palette.
inline constexpr std::uint8_t kPaletteNoCollapse = 4;

struct LogicalPalette {
    std::uint16_t palVersion = 0x300;
    std::uint16_t palNumEntries = 256;
    std::array<LogicalPaletteEntry, 256> palPalEntry{};
};

// The bitmap the window system made from a description: pixel memory of
// |biHeight| rows, each biWidth bytes rounded up to a multiple of 4.
class FastWinBitmap {
  public:
    virtual ~FastWinBitmap() = default;
    virtual std::uint8_t* bits() = 0;
};

// A window a surface is made for: it makes the bitmap and realises palettes.
class FastWinWindow {
  public:
    virtual ~FastWinWindow() = default;
    // The bitmap for `description` with its colour table holding literal
    // colours; nullptr when the window system gives no pixel memory.
    virtual std::unique_ptr<FastWinBitmap> CreateDIBSection(const BitmapInfo& description) = 0;
    // Realises `palette` on the window (selected as a foreground palette).
    // True-colour displays have nothing to do.
    virtual void RealizePalette(const LogicalPalette& palette) = 0;
};

// A target a surface is copied onto. Both copies replace the destination
// pixels; parts of the source rectangle outside the bitmap copy nothing.
class FastWinDC {
  public:
    virtual ~FastWinDC() = default;
    // `width` x `height` pixels from (srcLeft, srcTop) to (destLeft, destTop).
    virtual void BitBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t width,
                        std::int32_t height, FastWinBitmap& source, std::int32_t srcLeft,
                        std::int32_t srcTop) = 0;
    // The source rectangle scaled onto the destination rectangle by dropping
    // or repeating whole rows and columns (no blending of colours).
    virtual void StretchBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t destWidth,
                            std::int32_t destHeight, FastWinBitmap& source, std::int32_t srcLeft,
                            std::int32_t srcTop, std::int32_t srcWidth, std::int32_t srcHeight) = 0;
};

class clsFastWin {
  public:
    // The surface's colours; read by Initialize.
    explicit clsFastWin(const GamePalette& palette);
    ~clsFastWin();
    clsFastWin(const clsFastWin&) = delete;
    clsFastWin& operator=(const clsFastWin&) = delete;

    // Non-owning views of what Initialize made; the surface owns the bitmap,
    // and the pixel memory belongs to the bitmap.
    FastWinBitmap* hBitmap = nullptr;  // nullptr before Initialize
    std::uint8_t* addrBits = nullptr;  // first byte of the pixel memory; nullptr when none
    std::int32_t BmpWidth = 0;         // as passed to Initialize
    std::int32_t BmpHeight = 0;        // as passed (the absolute value is what is used)
    FastWinWindow* hWindow = nullptr;  // the window the surface was made for

    // Makes a `Width` x |`Height`| top-down surface for `ActiveWindow` (which
    // must outlive the surface) and realises its palette there. True when
    // the surface has pixel memory. A width or height of 0, a negative width
    // or more than kMaxSide pixels a side gives no memory.
    bool Initialize(std::int32_t Width, std::int32_t Height, FastWinWindow* ActiveWindow);

    // Copies the surface onto `ScreenDC`: scaled from the source rectangle
    // onto the destination rectangle when `StretchFlag` is true; otherwise
    // DestWidth x DestHeight pixels at 1:1 from (SrcLeft, SrcTop), and
    // SrcWidth and SrcHeight are not used. Draws nothing on a surface
    // without a bitmap (never initialised, or initialised without memory).
    void Show(FastWinDC& ScreenDC, std::int32_t DestLeft, std::int32_t DestTop,
              std::int32_t DestWidth, std::int32_t DestHeight, std::int32_t SrcLeft,
              std::int32_t SrcTop, std::int32_t SrcWidth, std::int32_t SrcHeight,
              bool StretchFlag) const;

    // Bytes of one row of pixel memory: BmpWidth rounded up to a multiple of 4.
    std::int32_t RowBytes() const;
    // Rows of pixel memory: the absolute value of BmpHeight.
    std::int32_t Rows() const;

    const BitmapInfo& description() const { return m_description; }
    const LogicalPalette& logicalPalette() const { return m_logicalPalette; }

    static constexpr std::int32_t kMaxSide = 4096;

  private:
    void ApplyPalette(FastWinWindow* window);

    GamePalette m_palette;
    BitmapInfo m_description;
    LogicalPalette m_logicalPalette;
    std::unique_ptr<FastWinBitmap> m_bitmap;
};

}  // namespace kloxmere

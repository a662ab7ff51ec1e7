#include "graphics/clsFastWin.h"

namespace kloxmere {

clsFastWin::clsFastWin(const GamePalette& palette) : m_palette(palette) {}

clsFastWin::~clsFastWin() = default;

bool clsFastWin::Initialize(std::int32_t Width, std::int32_t Height, FastWinWindow* ActiveWindow) {
    hBitmap = nullptr;
    addrBits = nullptr;
    BmpWidth = 0;
    BmpHeight = 0;
    hWindow = nullptr;
    m_bitmap.reset();

    // The absolute height is taken before negating: std::abs of the most
    // negative value would overflow.
    const std::int64_t rows = Height < 0 ? -static_cast<std::int64_t>(Height) : Height;
    m_description = BitmapInfo{};
    m_description.bmiHeader.biWidth = Width;
    m_description.bmiHeader.biHeight = static_cast<std::int32_t>(-rows);
    m_description.bmiColors = m_palette;
    m_logicalPalette = LogicalPalette{};
    for (std::size_t i = 0; i < m_palette.size(); ++i) {
        m_logicalPalette.palPalEntry[i] = {m_palette[i].red, m_palette[i].green, m_palette[i].blue,
                                           kPaletteNoCollapse};
    }

    if (ActiveWindow) {
        ActiveWindow->RealizePalette(m_logicalPalette);
        if (Width > 0 && Width <= kMaxSide && rows > 0 && rows <= kMaxSide) {
            m_bitmap = ActiveWindow->CreateDIBSection(m_description);
        }
    }
    if (m_bitmap) {
        hBitmap = m_bitmap.get();
        addrBits = m_bitmap->bits();
    }

    BmpWidth = Width;
    BmpHeight = Height;
    hWindow = ActiveWindow;
    if (!addrBits) return false;
    ApplyPalette(ActiveWindow);
    return true;
}

void clsFastWin::ApplyPalette(FastWinWindow* window) {
    if (window) window->RealizePalette(m_logicalPalette);
}

void clsFastWin::Show(FastWinDC& ScreenDC, std::int32_t DestLeft, std::int32_t DestTop,
                      std::int32_t DestWidth, std::int32_t DestHeight, std::int32_t SrcLeft,
                      std::int32_t SrcTop, std::int32_t SrcWidth, std::int32_t SrcHeight,
                      bool StretchFlag) const {
    if (!hWindow || !m_bitmap) return;
    if (StretchFlag) {
        ScreenDC.StretchBlt(DestLeft, DestTop, DestWidth, DestHeight, *m_bitmap, SrcLeft, SrcTop,
                            SrcWidth, SrcHeight);
    } else {
        ScreenDC.BitBlt(DestLeft, DestTop, DestWidth, DestHeight, *m_bitmap, SrcLeft, SrcTop);
    }
}

std::int32_t clsFastWin::RowBytes() const {
    if (BmpWidth <= 0) return 0;
    return (BmpWidth + 3) / 4 * 4;
}

std::int32_t clsFastWin::Rows() const {
    if (BmpHeight == 0 || BmpHeight < -kMaxSide || BmpHeight > kMaxSide) return 0;
    return BmpHeight < 0 ? -BmpHeight : BmpHeight;
}

}  // namespace kloxmere

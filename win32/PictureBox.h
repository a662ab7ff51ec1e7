#pragma once

// The unit panel's picture: a child window that keeps what is copied onto it
// in a 32-bit backing bitmap of its own size, so that it survives repainting,
// until Cls clears it. The drawing surface's bitmap is a DIB section of 8-bit
// palette indices whose colour table is the game palette; the copies go
// through StretchDIBits, which maps the indices through that table.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "graphics/clsFastWin.h"
#include "win32/Handles.h"

namespace kloxmere::win32 {

class DibSectionBitmap final : public FastWinBitmap {
  public:
    // Throws std::runtime_error when Windows gives no bitmap.
    explicit DibSectionBitmap(const BitmapInfo& description);
    std::uint8_t* bits() override { return m_bits; }
    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(&m_info); }

  private:
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } m_info{};
    BitmapHandle m_bitmap;
    std::uint8_t* m_bits = nullptr;
};

class PictureBox final : public FastWinWindow, public FastWinDC {
  public:
    static constexpr const wchar_t* kClassName = L"KloxmerePicture";

    // Creates the panel as a child of `parent` with the accessible name `name`.
    PictureBox(HWND parent, int id, const wchar_t* name);
    HWND hwnd() const { return m_window; }

    // The width inside the border, in pixels.
    int ScaleWidth() const;
    void Cls();
    // The colour of the kept picture at (x, y) inside the border, for tests;
    // CLR_INVALID where nothing was drawn.
    COLORREF PixelAt(int x, int y) const;

    std::unique_ptr<FastWinBitmap> CreateDIBSection(const BitmapInfo& description) override;
    void RealizePalette(const LogicalPalette& palette) override;
    void BitBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t width,
                std::int32_t height, FastWinBitmap& source, std::int32_t srcLeft,
                std::int32_t srcTop) override;
    void StretchBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t destWidth,
                    std::int32_t destHeight, FastWinBitmap& source, std::int32_t srcLeft,
                    std::int32_t srcTop, std::int32_t srcWidth, std::int32_t srcHeight) override;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void EnsureBacking();

    HWND m_window = nullptr;  // destroyed with its parent
    MemoryDc m_backingDc;
    BitmapHandle m_backing;
    SIZE m_backingSize{};
    bool m_drawn = false;
};

}  // namespace kloxmere::win32

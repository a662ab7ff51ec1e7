#pragma once

// Twips (1/1440 inch) to pixels at a window's own DPI, so that a layout
// given in twips has the same size on every monitor.

#include <windows.h>

namespace kloxmere::win32 {

inline constexpr UINT kStandardDpi = 96;

// Pixels for `twips` at `dpi`, rounded to the nearest (15 twips per pixel at 96).
inline int TwipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}
inline int PixelsToTwips(int pixels, UINT dpi) {
    return MulDiv(pixels, 1440, static_cast<int>(dpi));
}

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

inline RECT PixelRect(const TwipsRect& twips, UINT dpi) {
    RECT rect{};
    rect.left = TwipsToPixels(twips.left, dpi);
    rect.top = TwipsToPixels(twips.top, dpi);
    rect.right = rect.left + TwipsToPixels(twips.width, dpi);
    rect.bottom = rect.top + TwipsToPixels(twips.height, dpi);
    return rect;
}

// The DPI `window` is drawn at (the system's when it has none yet).
UINT WindowDpi(HWND window);

}  // namespace kloxmere::win32

#include "win32/PictureBox.h"

#include <stdexcept>

namespace kloxmere::win32 {

DibSectionBitmap::DibSectionBitmap(const BitmapInfo& description) {
    const BitmapInfoHeader& header = description.bmiHeader;
    m_info.header.biSize = sizeof(BITMAPINFOHEADER);
    m_info.header.biWidth = header.biWidth;
    m_info.header.biHeight = header.biHeight;
    m_info.header.biPlanes = 1;
    m_info.header.biBitCount = 8;
    m_info.header.biCompression = BI_RGB;
    m_info.header.biClrUsed = 256;
    m_info.header.biClrImportant = 256;
    for (std::size_t i = 0; i < 256; ++i) {
        m_info.colours[i].rgbRed = description.bmiColors[i].red;
        m_info.colours[i].rgbGreen = description.bmiColors[i].green;
        m_info.colours[i].rgbBlue = description.bmiColors[i].blue;
    }
    void* bits = nullptr;
    m_bitmap.reset(::CreateDIBSection(nullptr, info(), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap || !bits) throw std::runtime_error("no memory for the picture's bitmap");
    m_bits = static_cast<std::uint8_t*>(bits);
}

PictureBox::PictureBox(HWND parent, int id, const wchar_t* name) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) throw std::runtime_error("the picture class could not be registered");
    // The window's text is the name screen readers announce.
    m_window = CreateWindowExW(WS_EX_STATICEDGE, kClassName, name, WS_CHILD | WS_VISIBLE, 0, 0, 10,
                               10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), this);
    if (!m_window) throw std::runtime_error("the picture could not be created");
}

int PictureBox::ScaleWidth() const {
    RECT client{};
    GetClientRect(m_window, &client);
    return client.right;
}

void PictureBox::Cls() {
    m_drawn = false;
    m_backing.reset();
    m_backingDc.reset();
    InvalidateRect(m_window, nullptr, TRUE);
}

void PictureBox::EnsureBacking() {
    RECT client{};
    GetClientRect(m_window, &client);
    if (m_backing && m_backingSize.cx == client.right && m_backingSize.cy == client.bottom) return;
    m_backing.reset();
    m_backingDc.reset();
    m_backingSize = {std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)};
    WindowDc screen(m_window);
    m_backingDc.reset(CreateCompatibleDC(screen.get()));
    m_backing.reset(CreateCompatibleBitmap(screen.get(), m_backingSize.cx, m_backingSize.cy));
    SelectObject(m_backingDc.get(), m_backing.get());
    RECT all{0, 0, m_backingSize.cx, m_backingSize.cy};
    FillRect(m_backingDc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
}

COLORREF PictureBox::PixelAt(int x, int y) const {
    if (!m_drawn || !m_backingDc) return CLR_INVALID;
    return GetPixel(m_backingDc.get(), x, y);
}

std::unique_ptr<FastWinBitmap> PictureBox::CreateDIBSection(const BitmapInfo& description) {
    try {
        return std::make_unique<DibSectionBitmap>(description);
    } catch (const std::runtime_error&) {
        return nullptr;  // the surface then has no memory, which its owner reports
    }
}

void PictureBox::RealizePalette(const LogicalPalette&) {
    // The copies map indices through the bitmap's colour table; true-colour
    // displays need no realised palette.
}

void PictureBox::BitBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t width,
                        std::int32_t height, FastWinBitmap& source, std::int32_t srcLeft,
                        std::int32_t srcTop) {
    StretchBlt(destLeft, destTop, width, height, source, srcLeft, srcTop, width, height);
}

void PictureBox::StretchBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t destWidth,
                            std::int32_t destHeight, FastWinBitmap& source, std::int32_t srcLeft,
                            std::int32_t srcTop, std::int32_t srcWidth, std::int32_t srcHeight) {
    if (destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
    auto& bitmap = static_cast<DibSectionBitmap&>(source);
    EnsureBacking();
    SetStretchBltMode(m_backingDc.get(), COLORONCOLOR);  // whole rows and columns, no blending
    // A top-down DIB: StretchDIBits counts the source's rows from the bottom.
    const LONG rows = std::abs(bitmap.info()->bmiHeader.biHeight);
    StretchDIBits(m_backingDc.get(), destLeft, destTop, destWidth, destHeight, srcLeft,
                  static_cast<int>(rows) - srcTop - srcHeight, srcWidth, srcHeight, bitmap.bits(),
                  bitmap.info(), DIB_RGB_COLORS, SRCCOPY);
    m_drawn = true;
    InvalidateRect(m_window, nullptr, FALSE);
}

void PictureBox::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(m_window, &paint);
    RECT client{};
    GetClientRect(m_window, &client);
    if (m_drawn && m_backingDc) {
        ::BitBlt(dc, 0, 0, m_backingSize.cx, m_backingSize.cy, m_backingDc.get(), 0, 0, SRCCOPY);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(m_window, &paint);
}

LRESULT CALLBACK PictureBox::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PictureBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_PAINT) {
        self->Paint();
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kloxmere::win32

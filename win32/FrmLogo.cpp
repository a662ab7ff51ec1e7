#include "win32/FrmLogo.h"

#include "base/Version.h"
#include "win32/BusyPointer.h"

namespace kloxmere::win32 {

namespace {
constexpr UINT_PTR kTmrUnload = 1;
}

FrmLogo::FrmLogo()
    : DialogWindow({L"Kloxmere", 4650, 3360, WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW,
                    Placement::CentreOnScreen}) {}

void FrmLogo::OnShown() {
    SetBusyPointer(true);
    SetTimer(hwnd(), kTmrUnload, kUnloadMilliseconds, nullptr);
}

LRESULT FrmLogo::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kTmrUnload) break;
            KillTimer(hwnd(), kTmrUnload);
            SetBusyPointer(false);
            End();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(hwnd(), &paint);
            Paint(dc);
            EndPaint(hwnd(), &paint);
            return 0;
        }
        default:
            break;
    }
    return DialogWindow::OnMessage(message, wParam, lParam);
}

void FrmLogo::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const int side = Pixels(1440);
    const int left = (client.right - side) / 2;
    if (HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                   IMAGE_ICON, side, side, 0))) {
        DrawIconEx(dc, left, Pixels(480), icon, side, side, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    LOGFONTW font{};
    font.lfHeight = -MulDiv(18, static_cast<int>(dpi()), 72);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"Segoe UI");
    FontHandle title(CreateFontIndirectW(&font));
    SelectedObject selected(dc, title.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT text{0, Pixels(2160), client.right, Pixels(2760)};
    const std::wstring name =
        L"Kloxmere " + std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor);
    DrawTextW(dc, name.c_str(), -1, &text, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
}

}  // namespace kloxmere::win32

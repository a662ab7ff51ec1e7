#include "win32/DialogWindow.h"

#include <stdexcept>

#include "win32/BusyPointer.h"

namespace kloxmere::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KloxmereDialog";

void registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;  // replaced per window at creation
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) throw std::runtime_error("the window class could not be registered");
}

}  // namespace

UINT WindowDpi(HWND window) {
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? dpi : GetDpiForSystem();
}

FontHandle MessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return FontHandle(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    LOGFONTW font{};
    font.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"Segoe UI");
    return FontHandle(CreateFontIndirectW(&font));
}

DialogWindow::DialogWindow(DialogFrame frame) : m_frame(std::move(frame)) {}

DialogWindow::~DialogWindow() {
    if (m_window) {
        // No virtual call may reach this half-destroyed object.
        SetWindowLongPtrW(m_window.get(), GWLP_USERDATA, 0);
        if (m_owner && !m_ended) EnableWindow(m_owner, TRUE);
    }
}

void DialogWindow::Create(HWND owner) {
    registerClass();
    m_owner = owner;
    m_dpi = WindowDpi(owner);
    const SIZE outer = OuterSize(m_dpi);
    HWND window = CreateWindowExW(m_frame.extendedStyle, kClassName, m_frame.caption.c_str(),
                                  m_frame.style, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy,
                                  owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) throw std::runtime_error("the window could not be created");
    m_window.reset(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    // The monitor the window landed on decides its DPI.
    m_dpi = WindowDpi(window);
    m_font = MessageFont(m_dpi);
    Populate();
    ApplyDpi(m_dpi);

    RECT area{};
    if (m_frame.placement == Placement::CentreOnOwner && owner && IsWindowVisible(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE DialogWindow::OuterSize(UINT dpi) const {
    RECT rect{0, 0, TwipsToPixels(m_frame.width, dpi), TwipsToPixels(m_frame.height, dpi)};
    AdjustWindowRectExForDpi(&rect, m_frame.style, FALSE, m_frame.extendedStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND DialogWindow::AddControl(const wchar_t* windowClass, const std::wstring& text, DWORD style,
                              int id, TwipsRect twips, DWORD extendedStyle) {
    const RECT rect = PixelRect(twips, m_dpi);
    HWND control = CreateWindowExW(
        extendedStyle, windowClass, text.c_str(), style | WS_CHILD | WS_VISIBLE, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control) throw std::runtime_error("a control could not be created");
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    m_controls.push_back({control, twips});
    return control;
}

void DialogWindow::MoveControl(HWND control, TwipsRect twips) {
    for (Placed& placed : m_controls) {
        if (placed.control != control) continue;
        placed.twips = twips;
        const RECT rect = PixelRect(twips, m_dpi);
        MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
    }
}

void DialogWindow::ApplyDpi(UINT dpi) {
    m_dpi = dpi;
    m_font = MessageFont(dpi);
    for (const Placed& placed : m_controls) {
        const RECT rect = PixelRect(placed.twips, dpi);
        MoveWindow(placed.control, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, FALSE);
        SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    }
    const SIZE outer = OuterSize(dpi);
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void DialogWindow::RunModal() {
    m_ended = false;
    if (m_owner) EnableWindow(m_owner, FALSE);
    ShowWindow(hwnd(), SW_SHOW);
    OnShown();
    MSG message{};
    while (!m_ended) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop outside
            break;
        }
        if (got == -1) break;
        if (!IsDialogMessageW(hwnd(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // The owner first, so that it becomes the active window again.
    if (m_owner) EnableWindow(m_owner, TRUE);
    ShowWindow(hwnd(), SW_HIDE);
    m_ended = true;
}

void DialogWindow::End() {
    m_ended = true;
    // Wakes the loop in RunModal when End comes from outside a message.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void DialogWindow::OnCommand(int id, int, HWND) {
    if (id == IDCANCEL) OnClose();
}

LRESULT DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case DM_GETDEFID:
            return DefaultButton() ? MAKELRESULT(DefaultButton(), DC_HASDEFID) : 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            ApplyDpi(HIWORD(wParam));
            SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SETCURSOR:
            if (ShowBusyCursor()) return TRUE;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

LRESULT CALLBACK DialogWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

}  // namespace kloxmere::win32

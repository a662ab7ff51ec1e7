#include "win32/FrmProgress.h"

#include <commctrl.h>

#include <cmath>

#include "base/Environment.h"
#include "base/PlatformServices.h"
#include "window/ProgressPercent.h"

namespace kloxmere::win32 {

FrmProgress::FrmProgress()
    : DialogWindow({WideFromUtf8(kApplicationTitle), 4200, 1020, WS_POPUP | WS_CAPTION,
                    WS_EX_DLGMODALFRAME, Placement::CentreOnScreen}) {}

void FrmProgress::Populate() {
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IdStatus,
               {120, 180, 3975, 255});
    HWND bar = AddControl(PROGRESS_CLASSW, L"", 0, IdProgress, {120, 540, 3975, 315});
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
}

void FrmProgress::SetCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), WideFromUtf8(caption).c_str());
}

void FrmProgress::SetStatus(const std::string& text) {
    SetWindowTextW(Control(IdStatus), WideFromUtf8(text).c_str());
}

void FrmProgress::Update(std::int32_t value, std::int32_t max) {
    if (auto percent = window::ProgressPercent(value, max)) {
        SendMessageW(Control(IdProgress), PBM_SETPOS, static_cast<WPARAM>(*percent), 0);
    }
}

void FrmProgress::RefreshForm() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace kloxmere::win32

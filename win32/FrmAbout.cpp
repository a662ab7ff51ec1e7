#include "win32/FrmAbout.h"

#include <commctrl.h>

#include "app/Locations.h"
#include "app/Manual.h"
#include "base/Environment.h"
#include "base/PlatformServices.h"
#include "base/Version.h"

namespace kloxmere::win32 {

namespace {

const wchar_t* const kNotice =
    L"Kloxmere switches archives on and off by renaming them and never changes "
    L"what is inside them. It comes without any warranty.";

const wchar_t* const kCredits =
    L"Kloxmere catalogues the unit archives of a TA installation (*.hpi, *.ccx, "
    L"*.ufo), finds units that share a weapon number and build menus that clash, "
    L"and switches archives on and off.\r\n"
    L"\r\n"
    L"Written in C++20 over the Windows API. Archives are decompressed with zlib.\r\n"
    L"\r\n"
    L"The icons and the logo were drawn for Kloxmere.\r\n"
    L"\r\n"
    L"Thanks to everyone who still makes, shares and plays TA units.";

}  // namespace

AboutLinks AboutLinks::ForThisProgram(const std::string& userDataDirectory) {
    return {FindManual(ExecutableDirectory()), userDataDirectory};
}

FrmAbout::FrmAbout(AboutLinks links, PlatformServices& services)
    : DialogWindow({L"About Kloxmere", 5160, 3855}),
      m_links(std::move(links)),
      m_services(services) {}

void FrmAbout::Populate() {
    HWND image = AddControl(L"STATIC", L"Kloxmere", SS_ICON | SS_REALSIZECONTROL, IdImage1,
                            {240, 240, 480, 480});
    m_icon.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                               IMAGE_ICON, Pixels(480), Pixels(480), 0)));
    if (m_icon) SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(m_icon.get()), 0);

    const std::wstring name =
        L"Kloxmere " + std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor);
    HWND title =
        AddControl(L"STATIC", name, SS_LEFT | SS_NOPREFIX, IdLblName, {960, 240, 3960, 360});
    LOGFONTW font{};
    GetObjectW(Font(), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    font.lfHeight = font.lfHeight * 5 / 4;
    m_bold.reset(CreateFontIndirectW(&font));
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(m_bold.get()), FALSE);

    AddControl(L"STATIC", kNotice, SS_LEFT | SS_NOPREFIX, IdLblNotice, {960, 630, 3960, 720});
    // Read-only: typing and Delete change nothing; the text can still be
    // selected and copied.
    AddControl(L"EDIT", kCredits,
               WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, IdTxtInfo,
               {240, 1440, 4680, 1200}, WS_EX_CLIENTEDGE);
    if (!m_links.manual.empty()) {
        AddControl(WC_LINK, L"<a>The Kloxmere manual</a>", WS_TABSTOP, IdLabel1,
                   {240, 2790, 3480, 255});
    }
    if (!m_links.userFiles.empty()) {
        AddControl(WC_LINK, L"<a>Your Kloxmere files</a>", WS_TABSTOP, IdLabel4,
                   {240, 3060, 3480, 255});
    }
    AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {3960, 3360, 960, 375});
}

void FrmAbout::OnShown() {
    SetFocus(Control(IDOK));
}

LRESULT FrmAbout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        End();
        return 0;
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == NM_CLICK || header->code == NM_RETURN) {
            const std::string& target = header->idFrom == IdLabel1   ? m_links.manual
                                        : header->idFrom == IdLabel4 ? m_links.userFiles
                                                                     : std::string();
            // A target the shell cannot open is passed over without a message.
            if (!target.empty()) m_services.Launch(LaunchRequest("open", target));
            return 0;
        }
    }
    return DialogWindow::OnMessage(message, wParam, lParam);
}

}  // namespace kloxmere::win32

#include "win32/FrmInputBox.h"

#include "base/Environment.h"
#include "win32/WindowText.h"

namespace kloxmere::win32 {

FrmInputBox::FrmInputBox(const std::string& prompt, const std::string& title)
    : DialogWindow({WideFromUtf8(title), 5400, 1800}), m_prompt(WideFromUtf8(prompt)) {}

void FrmInputBox::Populate() {
    AddControl(L"STATIC", m_prompt, SS_LEFT | SS_NOPREFIX, IdPrompt, {120, 120, 3975, 840});
    AddControl(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IdText,
               {120, 1200, 5160, 315}, WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {4215, 120, 1065, 375});
    AddControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, {4215, 555, 1065, 375});
}

void FrmInputBox::OnShown() {
    SetFocus(Control(IdText));
}

void FrmInputBox::OnCommand(int id, int code, HWND control) {
    if (id == IDOK) {
        m_answer = WindowText(Control(IdText));
        End();
        return;
    }
    if (id == IDCANCEL) m_answer.clear();
    DialogWindow::OnCommand(id, code, control);
}

}  // namespace kloxmere::win32

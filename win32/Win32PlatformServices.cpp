#include "win32/Win32PlatformServices.h"

#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "base/Environment.h"
#include "win32/BusyPointer.h"
#include "win32/FrmDirectory.h"
#include "win32/FrmInputBox.h"

namespace kloxmere::win32 {

std::wstring DialogFilter(const std::string& filter) {
    std::wstring wide = WideFromUtf8(filter);
    for (wchar_t& c : wide) {
        if (c == L'|') c = L'\0';
    }
    wide.push_back(L'\0');
    wide.push_back(L'\0');
    return wide;
}

Win32PlatformServices::Win32PlatformServices() = default;
Win32PlatformServices::~Win32PlatformServices() = default;

void Win32PlatformServices::ShowMessage(const std::string& text, const std::string& title,
                                        MessageIcon icon) {
    UINT style = MB_OK;
    switch (icon) {
        case MessageIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
        case MessageIcon::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case MessageIcon::Critical:
            style |= MB_ICONERROR;
            break;
        case MessageIcon::None:
            break;
    }
    MessageBoxW(m_owner, WideFromUtf8(text).c_str(), WideFromUtf8(title).c_str(), style);
}

void Win32PlatformServices::SetBusy(bool busy) {
    SetBusyPointer(busy);
}

void Win32PlatformServices::ShowProgress(const std::string& caption) {
    if (!m_progress) {
        m_progress = std::make_unique<FrmProgress>();
        m_progress->Create(m_owner);
    }
    m_progress->SetCaption(caption);
    ShowWindow(m_progress->hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(m_progress->hwnd());
}

void Win32PlatformServices::SetProgressStatus(const std::string& text) {
    if (m_progress) m_progress->SetStatus(text);
}

void Win32PlatformServices::Update(std::int32_t value, std::int32_t max) {
    if (m_progress) m_progress->Update(value, max);
    RefreshForm();
}

void Win32PlatformServices::RefreshForm() {
    FrmProgress::RefreshForm();
}

void Win32PlatformServices::HideProgress() {
    m_progress.reset();
}

std::string Win32PlatformServices::PickDirectory() {
    FrmDirectory picker(*this);
    picker.Create(m_owner);
    picker.RunModal();
    return picker.SelectedDirectory();
}

std::string Win32PlatformServices::ChooseFile(const FileDialogRequest& request) {
    std::wstring file = WideFromUtf8(request.fileName);
    file.resize(std::max<std::size_t>(file.size() + 1, 32768), L'\0');
    const std::wstring filter = DialogFilter(request.filter);
    const std::wstring extension = WideFromUtf8(request.defaultExtension);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_owner;
    dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const bool chosen = request.mode == FileDialogMode::Open
                            ? (dialog.Flags |= OFN_FILEMUSTEXIST, GetOpenFileNameW(&dialog))
                            : (dialog.Flags |= OFN_OVERWRITEPROMPT, GetSaveFileNameW(&dialog));
    if (!chosen) return {};
    file.resize(wcslen(file.c_str()));
    return Utf8FromWide(file);
}

std::string Win32PlatformServices::InputBox(const std::string& prompt, const std::string& title) {
    FrmInputBox box(prompt, title);
    box.Create(m_owner);
    box.RunModal();
    return box.Answer();
}

bool Win32PlatformServices::Launch(const LaunchRequest& request) {
    const std::wstring operation = WideFromUtf8(request.operation),
                       path = WideFromUtf8(request.path),
                       parameters = WideFromUtf8(request.parameters),
                       directory = WideFromUtf8(request.workingDirectory);
    SHELLEXECUTEINFOW launch{};
    launch.cbSize = sizeof launch;
    launch.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    launch.hwnd = m_owner;
    launch.lpVerb = operation.empty() ? nullptr : operation.c_str();
    launch.lpFile = path.c_str();
    launch.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    launch.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    launch.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&launch) != FALSE;
}

std::size_t Win32PlatformServices::AskChoice(const std::string& text, const std::string& title,
                                             const std::vector<std::string>& buttons) {
    if (buttons.empty()) return 0;
    std::vector<std::wstring> captions;
    for (const std::string& caption : buttons) captions.push_back(WideFromUtf8(caption));
    std::vector<TASKDIALOG_BUTTON> choices;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        choices.push_back({static_cast<int>(100 + i), captions[i].c_str()});
    }
    const std::wstring content = WideFromUtf8(text), caption = WideFromUtf8(title);
    TASKDIALOGCONFIG dialog{};
    dialog.cbSize = sizeof dialog;
    dialog.hwndParent = m_owner;
    dialog.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    dialog.pszWindowTitle = caption.c_str();
    dialog.pszContent = content.c_str();
    dialog.cButtons = static_cast<UINT>(choices.size());
    dialog.pButtons = choices.data();
    dialog.nDefaultButton = choices.front().nButtonID;
    int pressed = 0;
    if (TaskDialogIndirect(&dialog, &pressed, nullptr, nullptr) != S_OK) {
        return buttons.size() - 1;
    }
    // Closed without a choice (Escape, the close box): the last button.
    if (pressed < 100 || static_cast<std::size_t>(pressed - 100) >= buttons.size()) {
        return buttons.size() - 1;
    }
    return static_cast<std::size_t>(pressed - 100);
}

}  // namespace kloxmere::win32

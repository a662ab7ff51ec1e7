#pragma once

// The door from the core to the user in the Windows window: message boxes,
// the busy pointer, the progress window, the directory picker, the file
// dialogs, the input box and the shell's "open". Window thread only.

#include <memory>

#include "base/PlatformServices.h"
#include "win32/FrmProgress.h"

namespace kloxmere::win32 {

class Win32PlatformServices final : public PlatformServices {
  public:
    Win32PlatformServices();
    ~Win32PlatformServices() override;

    // The window the boxes and dialogs belong to (null: none).
    void SetOwner(HWND owner) { m_owner = owner; }
    HWND Owner() const { return m_owner; }
    // The progress window while it is shown, else null.
    FrmProgress* Progress() const { return m_progress.get(); }

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    void SetBusy(bool busy) override;
    void ShowProgress(const std::string& caption) override;
    void SetProgressStatus(const std::string& text) override;
    void Update(std::int32_t value, std::int32_t max) override;
    void RefreshForm() override;
    void HideProgress() override;
    std::string PickDirectory() override;
    std::string ChooseFile(const FileDialogRequest& request) override;
    std::string InputBox(const std::string& prompt, const std::string& title) override;
    bool Launch(const LaunchRequest& request) override;
    std::size_t AskChoice(const std::string& text, const std::string& title,
                          const std::vector<std::string>& buttons) override;

  private:
    HWND m_owner = nullptr;
    std::unique_ptr<FrmProgress> m_progress;
};

// The filter of a file dialog as Windows takes it: "Name|*.x|..." with every
// "|" a zero, and two zeros at the end.
std::wstring DialogFilter(const std::string& filter);

}  // namespace kloxmere::win32

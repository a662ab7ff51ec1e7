#pragma once

// The platform services with real widgets: message boxes, the application's
// busy pointer, the progress window, the file dialogs, the directory picker,
// the installation chooser, input boxes and program launches. Lives on the window thread.

#include <QPointer>
#include <memory>

#include "base/PlatformServices.h"

class QWidget;

namespace kloxmere::ui {

class FrmProgress;

// "Unit Schema (*.uls)|*.uls" as Qt's name filters ("Unit Schema (*.uls)").
QStringList NameFilters(const std::string& filter);

class QtPlatformServices final : public PlatformServices {
  public:
    // `owner`, when given, owns the dialogs and message boxes.
    explicit QtPlatformServices(QWidget* owner = nullptr);
    ~QtPlatformServices() override;

    void setOwner(QWidget* owner) { m_owner = owner; }
    QWidget* owner() const { return m_owner; }

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    std::size_t AskChoice(const std::string& text, const std::string& title,
                          const std::vector<std::string>& buttons) override;
    // The busy pointer stays on while any long command that set it runs.
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
    InstallationAnswer ChooseInstallation(const std::vector<InstallationChoice>& found) override;

    // The progress window while shown, else nullptr.
    FrmProgress* progressWindow() const;

  private:
    QPointer<QWidget> m_owner;
    std::unique_ptr<FrmProgress> m_progress;
    int m_busyDepth = 0;
};

}  // namespace kloxmere::ui

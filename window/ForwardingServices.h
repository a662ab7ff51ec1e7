#pragma once

// The services a session talks to, passed on to a target the window can
// change while a scan runs on a worker thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/PlatformServices.h"

namespace kloxmere::window {

// Passes every call on to a target that can be changed: the session keeps one
// door to the user while a scan on a worker thread sends its calls to the
// window thread through a target of the window's own.
class ForwardingServices final : public PlatformServices {
  public:
    explicit ForwardingServices(PlatformServices& target) : m_target(&target) {}
    void setTarget(PlatformServices& target) { m_target = &target; }
    PlatformServices& target() const { return *m_target; }

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        m_target->ShowMessage(text, title, icon);
    }
    void SetBusy(bool busy) override { m_target->SetBusy(busy); }
    void ShowProgress(const std::string& caption) override { m_target->ShowProgress(caption); }
    void SetProgressStatus(const std::string& text) override { m_target->SetProgressStatus(text); }
    void Update(std::int32_t value, std::int32_t max) override { m_target->Update(value, max); }
    void RefreshForm() override { m_target->RefreshForm(); }
    void HideProgress() override { m_target->HideProgress(); }
    std::string PickDirectory() override { return m_target->PickDirectory(); }
    std::string ChooseFile(const FileDialogRequest& request) override {
        return m_target->ChooseFile(request);
    }
    std::string InputBox(const std::string& prompt, const std::string& title) override {
        return m_target->InputBox(prompt, title);
    }
    bool Launch(const LaunchRequest& request) override { return m_target->Launch(request); }
    InstallationAnswer ChooseInstallation(const std::vector<InstallationChoice>& found) override {
        return m_target->ChooseInstallation(found);
    }
    std::size_t AskChoice(const std::string& text, const std::string& title,
                          const std::vector<std::string>& buttons) override {
        return m_target->AskChoice(text, title, buttons);
    }

  private:
    PlatformServices* m_target;
};

}  // namespace kloxmere::window

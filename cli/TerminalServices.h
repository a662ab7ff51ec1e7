#pragma once

// The platform services on a terminal: messages on the standard streams, the
// progress window as a one-line bar on stderr (only when stderr is a
// terminal, at most ten redraws a second), and no questions: a directory,
// file or text that would have to be asked for counts as cancelled.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "base/PlatformServices.h"

namespace kloxmere::cli {

class TerminalServices final : public PlatformServices {
  public:
    // `quiet`: information messages are not printed (the JSON output stands
    // alone on stdout).
    explicit TerminalServices(bool quiet);
    ~TerminalServices() override;

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    void SetBusy(bool) override {}
    void ShowProgress(const std::string& caption) override;
    void SetProgressStatus(const std::string& text) override;
    void Update(std::int32_t value, std::int32_t max) override;
    void RefreshForm() override { draw(false); }
    void HideProgress() override;
    std::string PickDirectory() override { return {}; }
    std::string ChooseFile(const FileDialogRequest&) override { return {}; }
    std::string InputBox(const std::string&, const std::string&) override { return {}; }
    // The terminal asks nothing: the last button (the one that changes nothing).
    std::size_t AskChoice(const std::string&, const std::string&,
                          const std::vector<std::string>& buttons) override {
        return buttons.empty() ? 0 : buttons.size() - 1;
    }
    // Starts the program; a Windows program without wine is reported.
    bool Launch(const LaunchRequest& request) override;

    // Messages shown without an icon or with the critical one: the failures
    // the core reported (a scan that ended early, a save that failed).
    const std::vector<std::string>& failures() const { return m_failures; }

  private:
    void draw(bool force);
    void clearLine();

    bool m_quiet;
    bool m_bar;  // stderr is a terminal
    bool m_showing = false;
    int m_percent = 0;
    std::string m_status;
    std::size_t m_drawnWidth = 0;
    std::chrono::steady_clock::time_point m_lastDraw{};
    std::vector<std::string> m_failures;
};

}  // namespace kloxmere::cli

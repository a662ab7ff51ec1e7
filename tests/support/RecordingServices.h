#pragma once

// A PlatformServices fake for tests: records every call as a line of text and
// answers questions from scripted queues (empty queue: "cancelled").

#include <deque>
#include <string>
#include <vector>

#include "base/PlatformServices.h"

namespace kloxmere::test {

class RecordingServices : public PlatformServices {
  public:
    struct Message {
        std::string text;
        std::string title;
        MessageIcon icon;
    };

    std::vector<Message> messages;
    std::vector<std::string> statuses;  // every progress status line, in order
    std::vector<std::string> calls;     // "busy on", "update 3/10", "launch ...", ...
    std::vector<LaunchRequest> launches;
    std::vector<FileDialogRequest> fileDialogs;
    int busyDepth = 0;  // busy on minus busy off

    std::deque<std::string> directoryAnswers;
    std::deque<std::string> fileAnswers;
    std::deque<std::string> inputAnswers;
    // The installations offered by each ChooseInstallation, and its answers
    // (none left: cancelled).
    std::vector<std::vector<InstallationChoice>> installationChoices;
    std::deque<InstallationAnswer> installationAnswers;
    std::deque<std::size_t> choiceAnswers;  // empty: the last button

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        messages.push_back({text, title, icon});
        calls.push_back("message " + text);
    }
    void SetBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        calls.push_back(busy ? "busy on" : "busy off");
    }
    void ShowProgress(const std::string& caption) override {
        calls.push_back("progress " + caption);
    }
    void SetProgressStatus(const std::string& text) override { statuses.push_back(text); }
    void Update(std::int32_t value, std::int32_t max) override {
        calls.push_back("update " + std::to_string(value) + "/" + std::to_string(max));
    }
    void RefreshForm() override {}
    void HideProgress() override { calls.push_back("progress hidden"); }
    std::string PickDirectory() override {
        calls.push_back("pick directory");
        return take(directoryAnswers);
    }
    std::string ChooseFile(const FileDialogRequest& request) override {
        fileDialogs.push_back(request);
        return take(fileAnswers);
    }
    std::size_t AskChoice(const std::string& text, const std::string& title,
                          const std::vector<std::string>& buttons) override {
        calls.push_back("choice " + title + ": " + text);
        if (choiceAnswers.empty()) return buttons.empty() ? 0 : buttons.size() - 1;
        std::size_t answer = choiceAnswers.front();
        choiceAnswers.pop_front();
        return answer;
    }
    std::string InputBox(const std::string& prompt, const std::string& title) override {
        calls.push_back("input " + title + ": " + prompt);
        return take(inputAnswers);
    }
    bool Launch(const LaunchRequest& request) override {
        launches.push_back(request);
        calls.push_back("launch " + request.path);
        return true;
    }

    InstallationAnswer ChooseInstallation(const std::vector<InstallationChoice>& found) override {
        installationChoices.push_back(found);
        calls.push_back("choose installation of " + std::to_string(found.size()));
        if (installationAnswers.empty()) return {};
        InstallationAnswer answer = installationAnswers.front();
        installationAnswers.pop_front();
        return answer;
    }

    // How many calls start with `prefix`.
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& call : calls) n += call.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

  private:
    static std::string take(std::deque<std::string>& answers) {
        if (answers.empty()) return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace kloxmere::test

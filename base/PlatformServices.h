#pragma once

// The one door from the core to the user. Every user-facing effect the core
// needs — a message box, the busy pointer, the progress window, a file or
// directory choice, an input box, launching a program — goes through this
// interface. The Qt window implements it with widgets, the command-line front
// end with the terminal, and tests with a recording fake.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kloxmere {

// The application's title, used for message boxes.
inline constexpr const char* kApplicationTitle = "Kloxmere";

enum class MessageIcon { None, Information, Exclamation, Critical };

enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    std::string fileName;          // initial file name, usually ""
    std::string defaultExtension;  // without the dot, e.g. "uls"
    std::string filter;            // "Unit Schema (*.uls)|*.uls"
};

struct LaunchRequest {
    LaunchRequest() = default;
    LaunchRequest(std::string operation, std::string path, std::string parameters = {},
                  std::string workingDirectory = {}, std::string installation = {})
        : operation(std::move(operation)),
          path(std::move(path)),
          parameters(std::move(parameters)),
          workingDirectory(std::move(workingDirectory)),
          installation(std::move(installation)) {}

    std::string operation = "open";
    std::string path;
    std::string parameters;
    std::string workingDirectory;
    // The TA directory whose launcher starts the program: the game is started
    // as Steam or the installation's Wine prefix would start it, and another
    // Windows program lying in that prefix runs in it. "" for none.
    std::string installation;
};

// One installation offered to the user to choose from.
struct InstallationChoice {
    std::string directory;
    std::size_t archives = 0;
    std::string source;  // what found it ("steam", "lutris", ...)
};

// The user's answer to ChooseInstallation.
struct InstallationAnswer {
    enum Kind { Chosen, Other, Cancelled } kind = Cancelled;
    std::size_t index = 0;  // the installation chosen, for Chosen
};

class PlatformServices {
  public:
    virtual ~PlatformServices() = default;

    virtual void ShowMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;

    // The application-wide busy (hourglass) pointer on or off.
    virtual void SetBusy(bool busy) = 0;

    // The progress window: shown with a caption, a status line, a bar.
    virtual void ShowProgress(const std::string& caption) = 0;
    virtual void SetProgressStatus(const std::string& text) = 0;
    // Sets the bar to value / max (a percentage) and lets pending events run.
    virtual void Update(std::int32_t value, std::int32_t max) = 0;
    // Lets pending events run (repaints), so the window keeps up in long loops.
    virtual void RefreshForm() = 0;
    virtual void HideProgress() = 0;

    // The directory picker; "" when cancelled, otherwise the directory with a
    // trailing separator.
    virtual std::string PickDirectory() = 0;
    // A file open or save dialog; "" when cancelled.
    virtual std::string ChooseFile(const FileDialogRequest& request) = 0;
    // An input box; "" when cancelled.
    virtual std::string InputBox(const std::string& prompt, const std::string& title) = 0;
    // Starts a program or opens a document; whether it started.
    virtual bool Launch(const LaunchRequest& request) = 0;
    // Lets the user choose one of several TA installations found, or ask for
    // another directory ("Other..."). A front end without a chooser answers
    // Other, which leads to the directory picker.
    virtual InstallationAnswer ChooseInstallation(const std::vector<InstallationChoice>& found) {
        (void)found;
        return {InstallationAnswer::Other, 0};
    }
    // A message box offering `buttons` ("&Finish", ...); the index of the one
    // chosen, the last one's when the box is closed without a choice. Where
    // nobody can be asked, the answer is the last button.
    virtual std::size_t AskChoice(const std::string& text, const std::string& title,
                                  const std::vector<std::string>& buttons) = 0;
};

// Does nothing and answers every question with "cancelled".
class NullPlatformServices final : public PlatformServices {
  public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    void SetBusy(bool) override {}
    void ShowProgress(const std::string&) override {}
    void SetProgressStatus(const std::string&) override {}
    void Update(std::int32_t, std::int32_t) override {}
    void RefreshForm() override {}
    void HideProgress() override {}
    std::string PickDirectory() override { return {}; }
    std::string ChooseFile(const FileDialogRequest&) override { return {}; }
    std::string InputBox(const std::string&, const std::string&) override { return {}; }
    bool Launch(const LaunchRequest&) override { return false; }
    std::size_t AskChoice(const std::string&, const std::string&,
                          const std::vector<std::string>& buttons) override {
        return buttons.empty() ? 0 : buttons.size() - 1;
    }
};

}  // namespace kloxmere

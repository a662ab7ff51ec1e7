#pragma once

// The installation scan on a worker thread, so that the splash and the
// progress window keep painting while it runs. The worker reaches the user
// through WorkerServices, which hands every call to the window thread by
// posting a message to a message-only window: progress as the latest state
// (coalesced: one posted message however many updates came meanwhile),
// questions and messages as calls the worker waits for. The results are
// those of the scan on one thread: it is the same ScanInstallation, and no
// command can start before it ends, as the main window is not shown yet.

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/ScanInstallation.h"
#include "base/PlatformServices.h"
#include "window/ForwardingServices.h"
#include "window/ProgressPacing.h"

namespace kloxmere {
class Session;
}

namespace kloxmere::win32 {

using window::ForwardingServices;

// Called on the worker thread, carried out on the window thread that made it.
// While held, progress is only recorded and calls wait, so that nothing shows
// over the splash window; Release shows the progress as it stands and runs
// what waited.
class WorkerServices final : public PlatformServices {
  public:
    // `window` is the window thread's services.
    explicit WorkerServices(PlatformServices& window);
    ~WorkerServices() override;
    WorkerServices(const WorkerServices&) = delete;
    WorkerServices& operator=(const WorkerServices&) = delete;

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    void SetBusy(bool busy) override;
    void ShowProgress(const std::string& caption) override;
    void SetProgressStatus(const std::string& text) override;
    void Update(std::int32_t value, std::int32_t max) override;
    void RefreshForm() override {}
    void HideProgress() override;
    std::string PickDirectory() override;
    std::string ChooseFile(const FileDialogRequest& request) override;
    std::string InputBox(const std::string& prompt, const std::string& title) override;
    bool Launch(const LaunchRequest& request) override;
    InstallationAnswer ChooseInstallation(const std::vector<InstallationChoice>& found) override;
    std::size_t AskChoice(const std::string& text, const std::string& title,
                          const std::vector<std::string>& buttons) override;

    // Window thread only.
    void Hold() { m_held = true; }
    void Release();
    // Wakes the window thread's loop (any thread).
    void Wake();
    HWND messageWindow() const { return m_messages; }

  private:
    struct Progress {
        bool shown = false;
        std::string caption;
        std::string status;
        std::optional<std::int32_t> value, max;  // the last Update
        bool operator==(const Progress&) const = default;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void changeProgress(const std::function<void(Progress&)>& change);
    void applyProgress();  // window thread
    // The same once the pacing interval allows; until then the state waits
    // (and the worker posts nothing more).
    void applyProgressPaced();  // window thread
    void callAndWait(std::function<void()> call);

    PlatformServices& m_window;
    HWND m_messages = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_done;
    Progress m_progress;         // the worker's latest state
    bool m_applyPosted = false;  // a progress message is on its way
    std::deque<std::function<void()>> m_calls;
    std::size_t m_finished = 0;  // calls carried out, for the waiting worker

    // Window thread only.
    Progress m_applied;
    bool m_held = false;
    window::ProgressPacing m_pacing;
};

// Runs ScanInstallation for `session`, whose services must be `forwarding`,
// on a worker thread while the window thread shows the splash window (when
// `splash`) and then pumps messages; returns when the scan ended and rethrows
// what it threw.
void RunScanInBackground(Session& session, ForwardingServices& forwarding,
                         const ScanOptions& options, const std::function<void()>& splash);

}  // namespace kloxmere::win32

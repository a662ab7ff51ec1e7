#pragma once

// The installation scan on a worker thread, so that the splash window and
// the progress window keep painting while it runs. The scan is the one
// kloxmere-cli runs, with its archive pipeline on every processor core unless
// told otherwise; only the thread it is started from differs. The worker reaches the
// user through BackgroundServices, which hands every call to the window
// thread: progress as the latest state (coalesced, so a scan of thousands of
// archives does not flood the window thread), questions and messages as calls
// the worker waits for.

#include <QObject>
#include <QPointer>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/ScanInstallation.h"
#include "base/PlatformServices.h"
#include "window/ForwardingServices.h"
#include "window/ProgressPacing.h"

namespace kloxmere {
class Session;
}

namespace kloxmere::ui {

using window::ForwardingServices;

// Called on a worker thread, carried out on the thread `window` lives on
// (made there). While held, progress is only recorded and questions wait, so
// nothing shows over the splash window; release() shows the progress as it
// stands and asks what waited.
class BackgroundServices final : public PlatformServices {
  public:
    // `window` is the window thread's services; `context` an object living on
    // that thread (a call whose context is gone is not carried out).
    BackgroundServices(PlatformServices& window, QObject& context);

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
    void hold();
    void release();

  private:
    struct Progress {
        bool shown = false;
        std::string caption;
        std::string status;
        std::optional<int> percent;  // the last bar value a valid Update gave
    };

    // Records a change of the progress state and makes sure the window
    // thread applies the latest state soon.
    void changeProgress(const std::function<void(Progress&)>& change);
    void applyProgress();  // window thread
    // The same once the pacing interval allows; until then the state waits
    // (and workers post nothing more).
    void applyProgressPaced();  // window thread
    // Runs `call` on the window thread (after the progress it follows) and
    // waits for it.
    void callAndWait(std::function<void()> call);
    void post(std::function<void()> call);

    PlatformServices& m_window;
    QPointer<QObject> m_context;

    std::mutex m_mutex;
    Progress m_progress;         // the worker's latest state
    bool m_applyPosted = false;  // an applyProgress is on its way

    // Window thread only.
    Progress m_applied;
    bool m_held = false;
    std::deque<std::function<void()>> m_waiting;
    window::ProgressPacing m_pacing;
    QObject m_pacingTimers;  // a paced apply still waiting goes with these services
};

// Runs ScanInstallation for `session` on a worker thread. The session's
// services must be `forwarding`: they point at the background services for
// the scan's duration and back at their target afterwards.
class BackgroundScan {
  public:
    BackgroundScan(Session& session, ForwardingServices& forwarding, unsigned threads = 0);
    BackgroundScan(Session& session, ForwardingServices& forwarding, const ScanOptions& options);
    ~BackgroundScan();
    BackgroundScan(const BackgroundScan&) = delete;
    BackgroundScan& operator=(const BackgroundScan&) = delete;

    // Starts the scan; its progress and questions wait until release().
    void start();
    // Lets the scan's progress window and questions show.
    void release();
    // Lets window events run until the scan has ended, then rethrows what
    // the scan let through (a cancelled TA directory picker).
    void finish();

  private:
    void waitForWorker();

    Session& m_session;
    ForwardingServices& m_forwarding;
    PlatformServices& m_window;
    ScanOptions m_options;
    QObject m_context;
    BackgroundServices m_services;
    std::thread m_worker;
    bool m_done = false;  // window thread: the worker's end has been seen
    std::exception_ptr m_error;
};

}  // namespace kloxmere::ui

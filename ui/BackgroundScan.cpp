#include "ui/BackgroundScan.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <future>

#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "ui/FrmProgress.h"
#include "window/ProgressPercent.h"

namespace kloxmere::ui {

BackgroundServices::BackgroundServices(PlatformServices& window, QObject& context)
    : m_window(window), m_context(&context) {}

void BackgroundServices::post(std::function<void()> call) {
    QMetaObject::invokeMethod(m_context.data(), std::move(call), Qt::QueuedConnection);
}

void BackgroundServices::changeProgress(const std::function<void(Progress&)>& change) {
    std::lock_guard lock(m_mutex);
    change(m_progress);
    if (m_applyPosted) return;
    m_applyPosted = true;
    post([this] { applyProgressPaced(); });
}

void BackgroundServices::applyProgressPaced() {
    auto wait = m_pacing.wait(window::ProgressPacing::Clock::now());
    if (wait.count() > 0) {
        QTimer::singleShot(wait, &m_pacingTimers, [this] { applyProgressPaced(); });
        return;
    }
    applyProgress();
}

void BackgroundServices::applyProgress() {
    Progress latest;
    {
        std::lock_guard lock(m_mutex);
        m_applyPosted = false;
        latest = m_progress;
    }
    if (m_held) return;  // release() applies it
    m_pacing.applied(window::ProgressPacing::Clock::now());
    if (!latest.shown) {
        if (m_applied.shown) m_window.HideProgress();
        m_applied = latest;
        return;
    }
    if (!m_applied.shown || latest.caption != m_applied.caption) {
        m_window.ShowProgress(latest.caption);
    }
    if (!m_applied.shown || latest.status != m_applied.status) {
        m_window.SetProgressStatus(latest.status);
    }
    if (latest.percent && (!m_applied.shown || latest.percent != m_applied.percent)) {
        m_window.Update(*latest.percent, 100);
    }
    m_applied = latest;
}

void BackgroundServices::callAndWait(std::function<void()> call) {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    post([this, &call, &done] {
        auto run = [&call, &done] {
            try {
                call();
                done.set_value();
            } catch (...) {
                done.set_exception(std::current_exception());  // rethrown on the worker
            }
        };
        if (m_held) {
            m_waiting.emplace_back(std::move(run));
        } else {
            applyProgress();
            run();
        }
    });
    finished.get();
}

void BackgroundServices::hold() {
    m_held = true;
}

void BackgroundServices::release() {
    m_held = false;
    applyProgress();
    while (!m_waiting.empty()) {
        auto call = std::move(m_waiting.front());
        m_waiting.pop_front();
        call();
    }
}

void BackgroundServices::ShowMessage(const std::string& text, const std::string& title,
                                     MessageIcon icon) {
    callAndWait([&] { m_window.ShowMessage(text, title, icon); });
}

void BackgroundServices::SetBusy(bool busy) {
    post([this, busy] { m_window.SetBusy(busy); });
}

void BackgroundServices::ShowProgress(const std::string& caption) {
    changeProgress([&](Progress& progress) {
        progress.shown = true;
        progress.caption = caption;
    });
}

void BackgroundServices::SetProgressStatus(const std::string& text) {
    changeProgress([&](Progress& progress) { progress.status = text; });
}

void BackgroundServices::Update(std::int32_t value, std::int32_t max) {
    std::optional<int> percent = window::ProgressPercent(value, max);
    if (!percent) return;  // the bar keeps its value
    {
        std::lock_guard lock(m_mutex);
        if (m_progress.percent == percent) return;
    }
    changeProgress([&](Progress& progress) { progress.percent = percent; });
}

void BackgroundServices::HideProgress() {
    changeProgress([](Progress& progress) { progress.shown = false; });
}

std::string BackgroundServices::PickDirectory() {
    std::string picked;
    callAndWait([&] { picked = m_window.PickDirectory(); });
    return picked;
}

std::string BackgroundServices::ChooseFile(const FileDialogRequest& request) {
    std::string chosen;
    callAndWait([&] { chosen = m_window.ChooseFile(request); });
    return chosen;
}

std::string BackgroundServices::InputBox(const std::string& prompt, const std::string& title) {
    std::string answer;
    callAndWait([&] { answer = m_window.InputBox(prompt, title); });
    return answer;
}

std::size_t BackgroundServices::AskChoice(const std::string& text, const std::string& title,
                                          const std::vector<std::string>& buttons) {
    std::size_t answer = 0;
    callAndWait([&] { answer = m_window.AskChoice(text, title, buttons); });
    return answer;
}

bool BackgroundServices::Launch(const LaunchRequest& request) {
    bool started = false;
    callAndWait([&] { started = m_window.Launch(request); });
    return started;
}

InstallationAnswer BackgroundServices::ChooseInstallation(
    const std::vector<InstallationChoice>& found) {
    InstallationAnswer answer;
    callAndWait([&] { answer = m_window.ChooseInstallation(found); });
    return answer;
}

BackgroundScan::BackgroundScan(Session& session, ForwardingServices& forwarding, unsigned threads)
    : BackgroundScan(session, forwarding, ScanOptions{threads, nullptr}) {}

BackgroundScan::BackgroundScan(Session& session, ForwardingServices& forwarding,
                               const ScanOptions& options)
    : m_session(session),
      m_forwarding(forwarding),
      m_window(forwarding.target()),
      m_options(options),
      m_services(m_window, m_context) {}

BackgroundScan::~BackgroundScan() {
    if (!m_worker.joinable()) return;
    release();
    waitForWorker();
}

void BackgroundScan::start() {
    m_services.hold();
    m_forwarding.setTarget(m_services);
    m_worker = std::thread([this] {
        try {
            ScanInstallation(m_session, m_options);
        } catch (...) {
            m_error = std::current_exception();  // rethrown by finish() on the window thread
        }
        QMetaObject::invokeMethod(
            &m_context, [this] { m_done = true; }, Qt::QueuedConnection);
    });
}

void BackgroundScan::release() {
    m_services.release();
}

void BackgroundScan::waitForWorker() {
    QEventLoop loop;
    while (!m_done) loop.processEvents(QEventLoop::WaitForMoreEvents);
    m_worker.join();
    m_services.release();  // what the scan left on screen, a paced change too
    m_forwarding.setTarget(m_window);
}

void BackgroundScan::finish() {
    if (!m_worker.joinable()) return;
    waitForWorker();
    if (m_error) std::rethrow_exception(std::exchange(m_error, nullptr));
}

}  // namespace kloxmere::ui

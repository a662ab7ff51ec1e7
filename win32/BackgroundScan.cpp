#include "win32/BackgroundScan.h"

#include <atomic>
#include <exception>
#include <stdexcept>
#include <thread>

#include "app/ScanInstallation.h"
#include "app/Session.h"

namespace kloxmere::win32 {

namespace {

constexpr UINT kApplyProgress = WM_APP + 1;
constexpr UINT kRunCalls = WM_APP + 2;
constexpr UINT_PTR kPacingTimer = 1;
constexpr const wchar_t* kClassName = L"KloxmereScanMessages";

}  // namespace

WorkerServices::WorkerServices(PlatformServices& window) : m_window(window) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (registered) {
        m_messages = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     GetModuleHandleW(nullptr), this);
    }
    if (!m_messages) throw std::runtime_error("the scan's message window could not be made");
}

WorkerServices::~WorkerServices() {
    SetWindowLongPtrW(m_messages, GWLP_USERDATA, 0);
    DestroyWindow(m_messages);
}

LRESULT CALLBACK WorkerServices::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<WorkerServices*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == kApplyProgress) {
        if (!self->m_held) self->applyProgressPaced();
        return 0;
    }
    if (self && message == WM_TIMER && wParam == kPacingTimer) {
        KillTimer(window, kPacingTimer);
        if (!self->m_held) self->applyProgressPaced();
        return 0;
    }
    if (self && message == kRunCalls) {
        if (!self->m_held) self->Release();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void WorkerServices::Wake() {
    PostMessageW(m_messages, WM_NULL, 0, 0);
}

void WorkerServices::changeProgress(const std::function<void(Progress&)>& change) {
    std::lock_guard lock(m_mutex);
    change(m_progress);
    if (!m_applyPosted) {
        m_applyPosted = true;
        PostMessageW(m_messages, kApplyProgress, 0, 0);
    }
}

void WorkerServices::applyProgressPaced() {
    auto wait = m_pacing.wait(window::ProgressPacing::Clock::now());
    if (wait.count() > 0) {
        SetTimer(m_messages, kPacingTimer, static_cast<UINT>(wait.count()), nullptr);
        return;
    }
    applyProgress();
}

void WorkerServices::applyProgress() {
    m_pacing.applied(window::ProgressPacing::Clock::now());
    Progress wanted;
    {
        std::lock_guard lock(m_mutex);
        wanted = m_progress;
        m_applyPosted = false;
    }
    if (wanted == m_applied) return;
    if (!wanted.shown) {
        if (m_applied.shown) m_window.HideProgress();
        m_applied = wanted;
        return;
    }
    if (!m_applied.shown || wanted.caption != m_applied.caption)
        m_window.ShowProgress(wanted.caption);
    if (wanted.status != m_applied.status) m_window.SetProgressStatus(wanted.status);
    if (wanted.value && (wanted.value != m_applied.value || wanted.max != m_applied.max)) {
        m_window.Update(*wanted.value, *wanted.max);
    }
    m_applied = wanted;
}

void WorkerServices::Release() {
    m_held = false;
    applyProgress();
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(m_mutex);
            if (m_calls.empty()) break;
            call = std::move(m_calls.front());
            m_calls.pop_front();
        }
        // Progress first: a message the scan shows comes after the step it follows.
        applyProgress();
        call();
        {
            std::lock_guard lock(m_mutex);
            ++m_finished;
        }
        m_done.notify_all();
    }
}

void WorkerServices::callAndWait(std::function<void()> call) {
    std::unique_lock lock(m_mutex);
    m_calls.push_back(std::move(call));
    const std::size_t ticket = m_finished + m_calls.size();
    PostMessageW(m_messages, kRunCalls, 0, 0);
    m_done.wait(lock, [&] { return m_finished >= ticket; });
}

void WorkerServices::ShowMessage(const std::string& text, const std::string& title,
                                 MessageIcon icon) {
    callAndWait([&] { m_window.ShowMessage(text, title, icon); });
}

void WorkerServices::SetBusy(bool busy) {
    callAndWait([&] { m_window.SetBusy(busy); });
}

void WorkerServices::ShowProgress(const std::string& caption) {
    changeProgress([&](Progress& progress) {
        progress.shown = true;
        progress.caption = caption;
    });
}

void WorkerServices::SetProgressStatus(const std::string& text) {
    changeProgress([&](Progress& progress) { progress.status = text; });
}

void WorkerServices::Update(std::int32_t value, std::int32_t max) {
    changeProgress([&](Progress& progress) {
        progress.value = value;
        progress.max = max;
    });
}

void WorkerServices::HideProgress() {
    changeProgress([](Progress& progress) { progress = Progress(); });
}

std::string WorkerServices::PickDirectory() {
    std::string answer;
    callAndWait([&] { answer = m_window.PickDirectory(); });
    return answer;
}

std::string WorkerServices::ChooseFile(const FileDialogRequest& request) {
    std::string answer;
    callAndWait([&] { answer = m_window.ChooseFile(request); });
    return answer;
}

std::string WorkerServices::InputBox(const std::string& prompt, const std::string& title) {
    std::string answer;
    callAndWait([&] { answer = m_window.InputBox(prompt, title); });
    return answer;
}

bool WorkerServices::Launch(const LaunchRequest& request) {
    bool started = false;
    callAndWait([&] { started = m_window.Launch(request); });
    return started;
}

InstallationAnswer WorkerServices::ChooseInstallation(
    const std::vector<InstallationChoice>& found) {
    InstallationAnswer answer;
    callAndWait([&] { answer = m_window.ChooseInstallation(found); });
    return answer;
}

std::size_t WorkerServices::AskChoice(const std::string& text, const std::string& title,
                                      const std::vector<std::string>& buttons) {
    std::size_t answer = 0;
    callAndWait([&] { answer = m_window.AskChoice(text, title, buttons); });
    return answer;
}

void RunScanInBackground(Session& session, ForwardingServices& forwarding,
                         const ScanOptions& options, const std::function<void()>& splash) {
    PlatformServices& window = forwarding.target();
    WorkerServices worker(window);
    forwarding.setTarget(worker);
    std::atomic<bool> done = false;
    std::exception_ptr error;
    worker.Hold();
    std::thread scan([&] {
        try {
            ScanInstallation(session, options);
        } catch (...) {
            error = std::current_exception();  // rethrown on the window thread below
        }
        done = true;
        worker.Wake();
    });
    try {
        if (splash) splash();
    } catch (...) {
        // The worker may be waiting for the window thread: let it finish first.
        worker.Release();
        while (!done) {
            MSG message{};
            if (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        }
        scan.join();
        forwarding.setTarget(window);
        throw;
    }
    worker.Release();
    // The worker may wait for an answer: the loop runs until it ended, and a
    // request to quit is passed on afterwards.
    std::optional<int> quit;
    MSG message{};
    while (!done) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = static_cast<int>(message.wParam);
            continue;
        }
        if (got == -1) {
            Sleep(10);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    scan.join();
    if (quit) PostQuitMessage(*quit);
    // What the scan left on screen, then the window thread's own door again.
    worker.Release();
    forwarding.setTarget(window);
    if (error) std::rethrow_exception(error);
}

}  // namespace kloxmere::win32

#include "cli/TerminalServices.h"

#include <cmath>
#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "app/ProgramLauncher.h"

namespace kloxmere::cli {

namespace {

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

TerminalServices::TerminalServices(bool quiet) : m_quiet(quiet), m_bar(stderrIsTerminal()) {}

TerminalServices::~TerminalServices() {
    HideProgress();
}

void TerminalServices::ShowMessage(const std::string& text, const std::string&, MessageIcon icon) {
    bool failure = icon == MessageIcon::None || icon == MessageIcon::Critical;
    if (failure) m_failures.push_back(text);
    if (failure || m_quiet) return;  // failures end the command with their text
    clearLine();
    std::cout << text << '\n';
    draw(true);
}

void TerminalServices::ShowProgress(const std::string& caption) {
    m_showing = true;
    m_percent = 0;
    m_status = caption;
    draw(true);
}

void TerminalServices::SetProgressStatus(const std::string& text) {
    m_status = text;
    draw(false);
}

void TerminalServices::Update(std::int32_t value, std::int32_t max) {
    if (max != 0) {
        double percent = std::nearbyint(static_cast<double>(value) / max * 100.0);
        if (percent >= 0 && percent <= 100) m_percent = static_cast<int>(percent);
    }
    draw(false);
}

bool TerminalServices::Launch(const LaunchRequest& request) {
    return LaunchAndExplain(request, *this);
}

void TerminalServices::HideProgress() {
    clearLine();
    m_showing = false;
}

void TerminalServices::draw(bool force) {
    if (!m_bar || !m_showing) return;
    auto now = std::chrono::steady_clock::now();
    if (!force && now - m_lastDraw < std::chrono::milliseconds(100)) return;
    m_lastDraw = now;
    constexpr int kWidth = 30;
    int filled = m_percent * kWidth / 100;
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " +
                       std::to_string(m_percent) + "% " + m_status;
    if (line.size() > 79) line.resize(79);
    std::string padding(m_drawnWidth > line.size() ? m_drawnWidth - line.size() : 0, ' ');
    std::cerr << '\r' << line << padding << std::flush;
    m_drawnWidth = line.size();
}

void TerminalServices::clearLine() {
    if (!m_bar || m_drawnWidth == 0) return;
    std::cerr << '\r' << std::string(m_drawnWidth, ' ') << '\r' << std::flush;
    m_drawnWidth = 0;
}

}  // namespace kloxmere::cli

#pragma once

// How often a background scan's progress reaches the progress window. The
// scan changes its status thousands of times a second (a line per unit), and
// repainting each change would keep the window thread busy on a core the scan
// needs. The window applies the latest state at most once per interval; a
// change arriving sooner is applied when the interval is over, so the last
// state is always shown.

#include <chrono>
#include <optional>

namespace kloxmere::window {

class ProgressPacing {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{40};

    // How long to wait before applying at `now`; zero when it is due.
    std::chrono::milliseconds wait(Clock::time_point now) const {
        if (!m_last || now - *m_last >= kInterval) return std::chrono::milliseconds(0);
        auto left = std::chrono::ceil<std::chrono::milliseconds>(kInterval - (now - *m_last));
        return left.count() > 0 ? left : std::chrono::milliseconds(1);
    }
    // The state was applied at `now`.
    void applied(Clock::time_point now) { m_last = now; }

  private:
    std::optional<Clock::time_point> m_last;
};

}  // namespace kloxmere::window

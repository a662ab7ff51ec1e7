#include "window/ProgressPercent.h"

#include <cmath>

namespace kloxmere::window {

std::optional<int> ProgressPercent(std::int32_t value, std::int32_t max) {
    if (max == 0) return std::nullopt;
    const double percent = std::nearbyint(static_cast<double>(value) / max * 100.0);
    if (percent < 0 || percent > 100) return std::nullopt;
    return static_cast<int>(percent);
}

}  // namespace kloxmere::window

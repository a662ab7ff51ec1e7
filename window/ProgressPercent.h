#pragma once

// What the progress window's bar shows for a step of the work.

#include <cstdint>
#include <optional>

namespace kloxmere::window {

// The percentage of `value` in `max`, rounded to the nearest integer, halves
// to the even one; nothing when `max` is 0 or the result lies outside 0 to
// 100 (the bar then keeps its value).
std::optional<int> ProgressPercent(std::int32_t value, std::int32_t max);

}  // namespace kloxmere::window

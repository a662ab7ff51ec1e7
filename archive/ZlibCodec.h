#pragma once

// The zlib streams inside archives. The codec behind these two functions is
// libdeflate where it exists for the platform and zlib elsewhere (the
// Windows cross build); callers see the same results from either.

#include <cstdint>
#include <span>
#include <vector>

namespace kloxmere {

// Inflates the zlib stream `payload` into `target`, which it must fill
// exactly. False when the stream is damaged or inflates to any other size.
// Safe to call from several threads at once.
bool InflateZlib(std::span<const std::uint8_t> payload, std::span<std::uint8_t> target);

// `plain` as a zlib stream at compression level 9; empty when the codec
// fails (a zlib stream is never empty). Safe to call from several threads
// at once.
std::vector<std::uint8_t> DeflateZlib(std::span<const std::uint8_t> plain);

}  // namespace kloxmere

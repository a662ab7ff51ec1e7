#pragma once

// A fast 64-bit hash of bytes, the same on every platform and in every
// version: stored or exchanged digests (the enabled set's fingerprint) rely on
// it. Not meant to resist a deliberate collision.

#include <cstdint>
#include <span>

namespace kloxmere {

std::uint64_t HashBytes(std::span<const std::uint8_t> bytes, std::uint64_t seed = 0);

}  // namespace kloxmere

#include "base/ContentHash.h"

#include <bit>
#include <cstring>

namespace kloxmere {

namespace {

constexpr std::uint64_t kMix0 = 0xa0761d6478bd642fULL;
constexpr std::uint64_t kMix1 = 0xe7037ed1a0b428dbULL;
constexpr std::uint64_t kMix2 = 0x8ebc6af09c88c6e3ULL;

__extension__ typedef unsigned __int128 Wide;  // GCC and Clang, also for Windows

// The 128-bit product of a and b, folded to 64 bits.
std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
    Wide product = static_cast<Wide>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

// Up to eight bytes as a little-endian number.
std::uint64_t readLittle(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}

// Eight bytes as a little-endian number: one load where the processor is little-endian.
std::uint64_t readLittle8(const std::uint8_t* bytes) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    } else {
        return readLittle(bytes, 8);
    }
}

}  // namespace

std::uint64_t HashBytes(std::span<const std::uint8_t> bytes, std::uint64_t seed) {
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    std::uint64_t h = mix(seed ^ kMix0, static_cast<std::uint64_t>(bytes.size()) ^ kMix1);
    for (; left >= 16; p += 16, left -= 16) {
        h = mix(readLittle8(p) ^ kMix1, readLittle8(p + 8) ^ h);
    }
    std::uint64_t a = readLittle(p, left < 8 ? left : 8);
    std::uint64_t b = left > 8 ? readLittle(p + 8, left - 8) : 0;
    h = mix(a ^ kMix2 ^ left, b ^ h ^ kMix1);
    return mix(h ^ kMix0, h ^ kMix2);
}

}  // namespace kloxmere

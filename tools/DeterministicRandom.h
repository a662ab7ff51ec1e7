#pragma once

// A small random source whose sequence is fixed by its seed on every platform
// and standard library (the <random> distributions are not), so that a
// generated installation is the same bytes wherever it is generated.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kloxmere::tools {

// SplitMix64: one multiply-xorshift step per value; good enough for test data.
class DeterministicRandom {
  public:
    explicit DeterministicRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A value in [0, n); 0 when n is 0. The modulo's bias is far below
    // anything test data could notice.
    std::size_t below(std::size_t n) {
        if (n == 0) return 0;
        return static_cast<std::size_t>(next() % n);
    }

    // A value in [low, high].
    int between(int low, int high) {
        return low + static_cast<int>(below(static_cast<std::size_t>(high - low) + 1));
    }

    // A value in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

    bool chance(double probability) { return unit() < probability; }

    template <class T>
    const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[below(N)];
    }

    // A seed for an independent stream, derived from this one's seed and `salt`.
    static std::uint64_t Derive(std::uint64_t seed, std::uint64_t salt) {
        DeterministicRandom mix(seed ^ (salt * 0xD1B54A32D192ED03ull));
        mix.next();
        return mix.next();
    }

  private:
    std::uint64_t m_state;
};

// FNV-1a of a text, for deriving stable choices from names.
inline std::uint64_t HashText(std::string_view text) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    return hash;
}

}  // namespace kloxmere::tools

#include "tools/Lz77Encoder.h"

#include <algorithm>
#include <array>

namespace kloxmere::tools {

// Window rules of the decoder: input byte q lands at window index (q + 1) &
// 0xFFF, so a match starting at input position s is referenced as (s + 1) &
// 0xFFF; index 0 is the end marker and must never be referenced. A reference
// may reach back at most 4,095 bytes and copy 2 to 17 bytes; copies may
// overlap the bytes they produce.
std::vector<std::uint8_t> EncodeLz77Chunk(std::span<const std::uint8_t> input) {
    constexpr std::size_t kMaxDistance = 4095;
    constexpr std::size_t kMinMatch = 2, kMaxMatch = 17;
    constexpr int kMaxCandidates = 32;
    constexpr std::size_t kHashSize = 1 << 13;

    std::vector<std::uint8_t> out;
    out.reserve(input.size() + input.size() / 8 + 8);
    std::array<std::int32_t, kHashSize> head;
    head.fill(-1);
    std::vector<std::int32_t> previous(input.size(), -1);

    auto hashAt = [&](std::size_t i) {
        return ((static_cast<std::size_t>(input[i]) << 5) ^ input[i + 1]) & (kHashSize - 1);
    };
    auto insert = [&](std::size_t i) {
        if (i + 1 >= input.size()) return;
        std::size_t h = hashAt(i);
        previous[i] = head[h];
        head[h] = static_cast<std::int32_t>(i);
    };

    std::size_t tagPos = 0;
    int bit = 8;
    auto emitTag = [&](bool isMatch) {
        if (bit == 8) {
            tagPos = out.size();
            out.push_back(0);
            bit = 0;
        }
        if (isMatch) out[tagPos] = static_cast<std::uint8_t>(out[tagPos] | (1u << bit));
        ++bit;
    };
    auto emitWord = [&](std::uint16_t word) {
        out.push_back(static_cast<std::uint8_t>(word & 0xFF));
        out.push_back(static_cast<std::uint8_t>(word >> 8));
    };

    std::size_t q = 0;
    while (q < input.size()) {
        std::size_t bestLength = 0, bestStart = 0;
        if (q + kMinMatch <= input.size()) {
            std::size_t limit = std::min(kMaxMatch, input.size() - q);
            int candidates = 0;
            for (std::int32_t s = head[hashAt(q)]; s >= 0 && candidates < kMaxCandidates;
                 s = previous[static_cast<std::size_t>(s)], ++candidates) {
                std::size_t start = static_cast<std::size_t>(s);
                if (q - start > kMaxDistance) break;
                if (((start + 1) & 0xFFF) == 0) continue;  // would read as the end marker
                std::size_t length = 0;
                while (length < limit && input[start + length] == input[q + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestStart = start;
                    if (length == limit) break;
                }
            }
        }
        if (bestLength >= kMinMatch) {
            emitTag(true);
            emitWord(static_cast<std::uint16_t>((((bestStart + 1) & 0xFFF) << 4) |
                                                (bestLength - kMinMatch)));
            for (std::size_t k = 0; k < bestLength; ++k) insert(q + k);
            q += bestLength;
        } else {
            emitTag(false);
            out.push_back(input[q]);
            insert(q);
            ++q;
        }
    }
    emitTag(true);
    emitWord(0);
    return out;
}

}  // namespace kloxmere::tools

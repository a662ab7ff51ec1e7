#include "archive/Lz77.h"

#include <array>

#include "archive/HpiFormat.h"

namespace kloxmere {

Lz77Result DecodeLz77Chunk(std::span<const std::uint8_t> input, std::span<std::uint8_t> out) {
    constexpr std::size_t kMask = hpi::kLz77WindowSize - 1;
    std::array<std::uint8_t, hpi::kLz77WindowSize> window{};
    std::size_t windowPos = 1;
    std::size_t in = 0;
    std::size_t produced = 0;

    auto emit = [&](std::uint8_t byte) {
        out[produced++] = byte;
        window[windowPos] = byte;
        windowPos = (windowPos + 1) & kMask;
    };

    for (;;) {
        if (in >= input.size()) return Lz77Result::TruncatedInput;
        unsigned tag = input[in++];
        for (int bit = 0; bit < 8; ++bit, tag >>= 1) {
            if ((tag & 1) == 0) {
                if (in >= input.size()) return Lz77Result::TruncatedInput;
                if (produced >= out.size()) return Lz77Result::Overrun;
                emit(input[in++]);
                continue;
            }
            if (input.size() - in < 2) return Lz77Result::TruncatedInput;
            unsigned word =
                static_cast<unsigned>(input[in]) | (static_cast<unsigned>(input[in + 1]) << 8);
            in += 2;
            std::size_t src = word >> 4;
            if (src == 0) return produced == out.size() ? Lz77Result::Ok : Lz77Result::ShortOutput;
            std::size_t length = (word & 15) + 2;
            if (length > out.size() - produced) return Lz77Result::Overrun;
            for (std::size_t k = 0; k < length; ++k) {
                emit(window[src]);
                src = (src + 1) & kMask;
            }
        }
    }
}

const char* Lz77ResultText(Lz77Result result) {
    switch (result) {
        case Lz77Result::Ok:
            return "ok";
        case Lz77Result::TruncatedInput:
            return "the LZ77 stream ends before its end marker";
        case Lz77Result::Overrun:
            return "the LZ77 stream runs past the chunk's size";
        case Lz77Result::ShortOutput:
            return "the LZ77 stream ends before filling the chunk";
    }
    return "unknown LZ77 result";
}

}  // namespace kloxmere

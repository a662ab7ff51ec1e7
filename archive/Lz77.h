#pragma once

// Decoder for the LZ77 chunk payloads of the game's archives (the stream
// layout is in HpiFormat.h).

#include <cstdint>
#include <span>

namespace kloxmere {

enum class Lz77Result {
    Ok,
    TruncatedInput,  // the payload ended before the end marker
    Overrun,         // the stream produced more bytes than `out` holds
    ShortOutput,     // the end marker came before `out` was filled
};

// Decodes one chunk payload into `out`, whose size is the chunk's
// decompressed size. Succeeds only when the stream ends with its end marker
// exactly after filling `out`; bytes after the end marker are ignored. Never
// reads outside `input` nor writes outside `out`.
Lz77Result DecodeLz77Chunk(std::span<const std::uint8_t> input, std::span<std::uint8_t> out);

const char* Lz77ResultText(Lz77Result result);

}  // namespace kloxmere

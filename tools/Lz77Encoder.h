#pragma once

// An encoder for the game's LZ77 chunk payloads, for tests and for tools that
// build archives shaped like the game's own (the program itself writes zlib).

#include <cstdint>
#include <span>
#include <vector>

namespace kloxmere::tools {

// Encodes one chunk (at most 65,536 bytes). Greedy matching over a 4,096-byte
// window; the stream ends with the end marker.
std::vector<std::uint8_t> EncodeLz77Chunk(std::span<const std::uint8_t> input);

}  // namespace kloxmere::tools

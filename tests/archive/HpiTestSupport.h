#pragma once

// Archives built for the archive tests: sample contents, writers set up for
// every encoding, and the positions of an archive's structures for tests
// that damage them.

#include <cstdint>
#include <string_view>
#include <vector>

#include "archive/HpiWriter.h"

namespace kloxmere::test {

// `size` bytes that compress a little but not too well: runs of text with
// repeats and noise, so LZ77 emits literals, short and long references.
std::vector<std::uint8_t> SampleBytes(std::size_t size, std::uint32_t seed = 1);

// A writer with the LZ77 encoder of tools/ plugged in.
HpiWriter MakeWriter(std::uint8_t key = 0);

// Where one file of an archive without a key keeps its structures.
struct FileLayout {
    std::size_t record = 0;      // its 9-byte file record
    std::size_t data = 0;        // its data: the chunk table, or the stored bytes
    std::size_t chunkCount = 0;  // 0 for a stored file
    std::size_t firstChunk = 0;  // the first chunk's header
};

// The layout of the root-level file `name` of an archive written with key 0.
FileLayout LayoutOf(const std::vector<std::uint8_t>& archive, std::string_view name);

}  // namespace kloxmere::test

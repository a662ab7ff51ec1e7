#pragma once

// The game's archive format ("HAPI", version 1), as Kloxmere reads and writes
// it. Every value is little-endian and every structure packed; offsets are
// absolute positions in the file.
//
//   Header, 20 bytes, never scrambled:
//     +0  "HAPI"
//     +4  version: 0x00010000 (0x00020000 is a later game's variant; "BANK" a saved game)
//     +8  DirectorySize: where the directory block ends (counting the header)
//     +12 HeaderKey: only its low byte h counts; 0 = not scrambled
//     +16 Start: offset of the root directory record (20 in every known archive)
//
//   Scrambling: with h != 0 and K = h rotated left by 2 bits in 8 bits, the
//   byte stored at position p reads as stored ^ K ^ (p & 0xFF). Everything
//   from Start to the end of the last file's data is scrambled.
//
//   Directory block [Start, DirectorySize), offsets inside point into it:
//     directory record (8): entry count, offset of the first entry
//     entry (9):            name offset, data offset, flag (1 = directory, 0 = file)
//     file record (9):      data offset, decompressed size, compression (0 stored,
//                           1 LZ77, 2 zlib)
//     name:                 one path component, zero-terminated, Windows-1252
//
//   Compressed file data: n = ceil(size / 65536) u32 values, the on-disk size
//   of each chunk (19 + payload), then the n chunks back to back. Chunk:
//     +0  "SQSH"
//     +4  version byte, 2
//     +5  method: 1 LZ77, 2 zlib
//     +6  encrypted flag (non-zero = the payload is chunk-scrambled)
//     +7  payload size
//     +11 decompressed size (65,536, or the rest for the last chunk)
//     +15 checksum: sum of the payload bytes as stored (archive key removed,
//         chunk scrambling still on), modulo 2^32
//     +19 payload. Chunk scrambling of byte i: plain = ((stored - i) ^ i) & 0xFF.
//
//   LZ77 payload: a 4,096-byte window written from index 1. Tag bytes give one
//   bit per item, least significant first: 0 = a literal byte; 1 = a u16 word
//   w, copying (w & 15) + 2 bytes from window index w >> 4 onwards; index 0
//   ends the chunk.
//
//   Trailer, never scrambled and never referenced: the last 36 bytes are
//   "Copyright YYYY Cavedog Entertainment".

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kloxmere::hpi {

inline constexpr std::string_view kMarker = "HAPI";
inline constexpr std::string_view kSavedGameMarker = "BANK";
inline constexpr std::uint32_t kVersion1 = 0x00010000;
inline constexpr std::uint32_t kVersion2 = 0x00020000;
inline constexpr std::size_t kHeaderSize = 20;
inline constexpr std::uint32_t kRootOffset = 20;

inline constexpr std::size_t kDirectoryRecordSize = 8;
inline constexpr std::size_t kEntrySize = 9;
inline constexpr std::size_t kFileRecordSize = 9;

inline constexpr std::string_view kChunkMarker = "SQSH";
inline constexpr std::uint8_t kChunkVersion = 2;
inline constexpr std::size_t kChunkHeaderSize = 19;
inline constexpr std::uint32_t kChunkSize = 65536;

inline constexpr std::size_t kLz77WindowSize = 4096;

inline constexpr std::string_view kTrailerPrefix = "Copyright ";
inline constexpr std::string_view kTrailerSuffix = " Cavedog Entertainment";
inline constexpr std::size_t kTrailerSize = 36;

// Whole inner paths stay under this many bytes (the game's path limit).
inline constexpr std::size_t kMaxPathBytes = 259;
// An archive never reaches 2 GiB.
inline constexpr std::uint64_t kMaxArchiveSize = 0x80000000u;

// The key byte that scrambles with the archive's HeaderKey: its low byte
// rotated left by two bits; 0 when the archive is not scrambled.
constexpr std::uint8_t ScrambleKey(std::uint32_t headerKey) {
    auto h = static_cast<std::uint8_t>(headerKey);
    return static_cast<std::uint8_t>((h << 2) | (h >> 6));
}

// Removes (or applies: the operation is its own inverse) the archive key from
// `count` bytes read at file position `position`.
inline void ApplyArchiveKey(std::uint8_t key, std::uint64_t position, std::uint8_t* bytes,
                            std::size_t count) {
    if (key == 0) return;
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] ^= static_cast<std::uint8_t>(key ^ ((position + i) & 0xFF));
    }
}

inline std::uint8_t UnscrambleChunkByte(std::uint8_t stored, std::size_t i) {
    return static_cast<std::uint8_t>((stored - i) ^ i);
}
inline std::uint8_t ScrambleChunkByte(std::uint8_t plain, std::size_t i) {
    return static_cast<std::uint8_t>((plain ^ i) + i);
}

}  // namespace kloxmere::hpi

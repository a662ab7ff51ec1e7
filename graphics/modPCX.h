#pragma once

// Decoding of the units' build pictures ("unitpics\<unit>.pcx"): 8-bit,
// one-plane, run-length encoded PCX files. The byte layout is described at the
// top of modPCX.cpp. The result is a block of palette indices into the game
// palette (Palette.h); the picture's own palette is not used.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kloxmere {

// Largest width and largest height accepted, in pixels. The game's pictures are
// 64 or 96 pixels square; the limit only keeps a damaged header from asking
// for an absurd allocation.
inline constexpr std::int32_t kMaxPcxSide = 4096;

// A decoded picture: PcxWidth x PcxHeight palette indices, row after row from
// the top row down, each row PcxWidth bytes from left to right, no padding.
struct PcxPicture {
    std::int32_t PcxWidth = 0;
    std::int32_t PcxHeight = 0;
    std::vector<std::uint8_t> PcxData;
};

// Decodes the PCX file held in `bytes` into `picture`. Returns true when the
// whole picture was decoded. On false `picture` is left empty (0 x 0, no data)
// and `reason`, when given, says what was wrong. The bytes are only read during
// the call.
bool LoadPCX(std::span<const std::uint8_t> bytes, PcxPicture& picture,
             std::string* reason = nullptr);

// Reads the file at `path` and decodes it as above. A file that cannot be read
// (missing, unreadable) fails like a damaged one; `reason` then names the file.
bool LoadPCX(const std::filesystem::path& path, PcxPicture& picture, std::string* reason = nullptr);

}  // namespace kloxmere

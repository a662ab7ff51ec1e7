#pragma once

// Stand-ins for the files a unit brings besides its definition: models,
// scripts, sounds, animations, build pictures, textures and maps. The scan
// never reads them, but they make an archive as large as a real one and
// place the definition files between megabytes of other data. Each kind is
// laid out like the real thing (headers, tables, pixel rows, samples), so
// that it compresses about as the game's own files do: sounds hardly,
// scripts and pictures well, models and maps in between.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "archive/HpiWriter.h"

namespace kloxmere::tools {

enum class FillerKind { Model, Script, Sound, Animation, Picture, Texture, Terrain };
inline constexpr std::size_t kFillerKinds = 7;

// About `size` bytes (a picture is always 96 x 96 pixels, whatever `size`)
// of content of `kind`, fixed by `seed`.
std::vector<std::uint8_t> MakeFillerContent(FillerKind kind, std::size_t size, std::uint64_t seed);

// The smallest and largest stand-in of a kind.
struct FillerSizes {
    std::size_t smallest, largest;
};
FillerSizes FillerSizeRange(FillerKind kind);

// A fixed set of stand-ins per kind, each encoded once per encoding on first
// use and then shared by every archive that holds it. Thread-safe.
class FillerPool {
  public:
    FillerPool(std::uint64_t seed, std::size_t variantsPerKind);
    ~FillerPool();
    FillerPool(const FillerPool&) = delete;
    FillerPool& operator=(const FillerPool&) = delete;

    // The variant `selector` picks (any number; it is reduced to the pool's
    // size), encoded as `encoding`.
    std::shared_ptr<const HpiEncodedFile> get(FillerKind kind, std::uint64_t selector,
                                              HpiFileEncoding encoding);

  private:
    struct Variant {
        std::size_t size = 0;
        std::uint64_t seed = 0;
        std::array<std::once_flag, 6> once;
        std::array<std::shared_ptr<const HpiEncodedFile>, 6> encoded;
    };
    std::array<std::vector<std::unique_ptr<Variant>>, kFillerKinds> m_variants;
};

}  // namespace kloxmere::tools

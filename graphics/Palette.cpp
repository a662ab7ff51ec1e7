#include "graphics/Palette.h"

// "palette.dat", shipped with the program:
//
//   offset  size  content
//        0   768  256 entries of 3 bytes, entry 0 first: red, green, blue
//
// "palettes\PALETTE.PAL", inside the game's archives:
//
//   offset  size  content
//        0  1024  256 entries of 4 bytes, entry 0 first: red, green, blue, unused
//
// Neither file has a header, count or trailer. Each colour byte is 0 to 255.
// The reserved byte of every GamePalette entry is 0 whatever the file holds.

#include <algorithm>

#include "base/FileSystem.h"

namespace kloxmere {

namespace {

constexpr std::size_t kPaletteDatStride = 3;
constexpr std::size_t kGamePalStride = 4;

// Entry i from the first three bytes at stride * i wherever the data holds
// them, the grey ramp's entry otherwise.
GamePalette convertRgb(std::span<const std::uint8_t> bytes, std::size_t stride) {
    GamePalette palette = GreyRampPalette();
    const std::size_t covered = bytes.size() < 3 ? 0 : (bytes.size() - 3) / stride + 1;
    for (std::size_t i = 0; i < std::min(palette.size(), covered); ++i) {
        const std::uint8_t* rgb = bytes.data() + stride * i;
        palette[i] = PaletteEntry{.blue = rgb[2], .green = rgb[1], .red = rgb[0], .reserved = 0};
    }
    return palette;
}

}  // namespace

GamePalette GreyRampPalette() {
    GamePalette palette;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        palette[i] = PaletteEntry{.blue = level, .green = level, .red = level, .reserved = 0};
    }
    return palette;
}

GamePalette LoadPalette(std::span<const std::uint8_t> paletteDat) {
    return convertRgb(paletteDat, kPaletteDatStride);
}

std::optional<GamePalette> LoadPalette(const std::filesystem::path& path) {
    std::error_code statusError;
    if (!std::filesystem::is_regular_file(path, statusError)) {
        return std::nullopt;
    }
    try {
        return LoadPalette(ReadFileBytes(path));
    } catch (const FileError&) {
        return std::nullopt;  // a missing palette file is a normal outcome
    }
}

GamePalette LoadGamePal(std::span<const std::uint8_t> palettePal) {
    return convertRgb(palettePal, kGamePalStride);
}

GamePalette ChooseGamePalette(const std::filesystem::path& programDirectory,
                              const GamePalFinder& findGamePal) {
    if (auto palette = LoadPalette(programDirectory / PathFromUtf8(kPaletteDatName))) {
        return *palette;
    }
    if (findGamePal) {
        if (auto bytes = findGamePal()) {
            return LoadGamePal(*bytes);
        }
    }
    return GreyRampPalette();
}

}  // namespace kloxmere

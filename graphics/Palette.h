#pragma once

// The game palette: the 256 colours through which every decoded picture's
// palette indices are shown. Its entries have the layout of a device-independent
// bitmap's colour table (blue, green, red, reserved 0), so a drawing surface can
// take the table as it is. The two palette file formats it is read from are
// described at the top of Palette.cpp.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kloxmere {

struct PaletteEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;

    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};
static_assert(sizeof(PaletteEntry) == 4);

using GamePalette = std::array<PaletteEntry, 256>;

// The program's own palette file, looked for in the program directory.
inline constexpr std::string_view kPaletteDatName = "palette.dat";
// The game's palette, inside the archives of the TA directory.
inline constexpr std::string_view kGamePalettePath = "palettes\\PALETTE.PAL";

// Entry i is grey of level i: blue, green and red all i. The neutral colours
// used wherever no palette file gives one.
GamePalette GreyRampPalette();

// Converts the bytes of a "palette.dat" file (256 x red, green, blue). Extra
// bytes after the 768th are ignored. Entries the bytes do not cover completely
// (a short file) keep the grey ramp's colour, so a damaged file still shows
// every index distinctly.
GamePalette LoadPalette(std::span<const std::uint8_t> paletteDat);

// Reads a "palette.dat" file from disk and converts it as above; nullopt when the
// file does not exist or cannot be read.
std::optional<GamePalette> LoadPalette(const std::filesystem::path& path);

// Converts the bytes of the game's "palettes\PALETTE.PAL" (256 x red, green,
// blue, unused). Entries a short file does not cover keep the grey ramp's colour.
GamePalette LoadGamePal(std::span<const std::uint8_t> palettePal);

// Supplies the bytes of "palettes\PALETTE.PAL" from the TA directory's archives,
// or nullopt when no archive holds it or it cannot be read.
using GamePalFinder = std::function<std::optional<std::vector<std::uint8_t>>()>;

// The palette for start-up: "palette.dat" in `programDirectory` when it can be
// read; otherwise the game's own palette from `findGamePal` (not called when
// "palette.dat" was read; may be empty); otherwise the grey ramp. An exception
// thrown by `findGamePal` passes to the caller.
GamePalette ChooseGamePalette(const std::filesystem::path& programDirectory,
                              const GamePalFinder& findGamePal);

}  // namespace kloxmere

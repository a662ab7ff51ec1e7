#include "graphics/modPCX.h"

// PCX file, as far as this reader uses it (multi-byte values little-endian):
//
//   offset  size  field
//        0     1  manufacturer         not checked
//        1     1  version              must be 5
//        2     1  encoding             not checked; run-length encoding is assumed
//        3     1  bits per pixel       must be 8
//        4     2  XMin, signed         left edge
//        6     2  YMin, signed         top edge
//        8     2  XMax, signed         right edge, inclusive
//       10     2  YMax, signed         bottom edge, inclusive
//       65     1  colour planes        must be 1
//      128     -  encoded pixel data, up to the palette marker
//   len-769    1  palette marker, 12
//   len-768  768  the picture's own palette, 256 x (red, green, blue); not used
//
// The picture is W = XMax - XMin + 1 pixels wide and H = YMax - YMin + 1 high.
// Its W x H palette indices are encoded as one stream of runs, row after row
// from the top, each row exactly W bytes (the header's bytes-per-line field is
// not consulted). A byte whose two top bits are set (b & 0xC0 == 0xC0) starts a
// run: b & 0x3F copies of the byte that follows; 0xC0 consumes its value byte
// and stores nothing. Any other byte is one pixel of that index, so indices
// 192 to 255 are always written as a run (0xC1 0xC8 for one pixel of 200). A
// run does not stop at the right edge: it carries on at the start of the next
// row. A run that would store beyond the last pixel makes the file damaged.

#include <algorithm>

#include "base/ByteStream.h"
#include "base/FileSystem.h"

namespace kloxmere {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kVersionOffset = 1;
constexpr std::size_t kBitsPerPixelOffset = 3;
constexpr std::size_t kXMinOffset = 4;
constexpr std::size_t kYMinOffset = 6;
constexpr std::size_t kXMaxOffset = 8;
constexpr std::size_t kYMaxOffset = 10;
constexpr std::size_t kPlanesOffset = 65;
constexpr std::size_t kPaletteSize = 768;

constexpr std::uint8_t kVersion = 5;
constexpr std::uint8_t kBitsPerPixel = 8;
constexpr std::uint8_t kPlanes = 1;
constexpr std::uint8_t kPaletteMarker = 12;
constexpr std::uint8_t kRunFlags = 0xC0;
constexpr std::uint8_t kRunLengthMask = 0x3F;

std::int32_t loadI16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::int16_t>(LoadU16(bytes.data() + offset));
}

bool fail(std::string* reason, std::string text) {
    if (reason) {
        *reason = std::move(text);
    }
    return false;
}

// Decodes the run stream `encoded` into `pixels`, which it fills completely.
bool decodeRuns(std::span<const std::uint8_t> encoded, std::vector<std::uint8_t>& pixels,
                std::string* reason) {
    std::size_t filled = 0;
    std::size_t pos = 0;
    while (filled < pixels.size()) {
        if (pos >= encoded.size()) {
            return fail(reason, "pixel data ends after " + std::to_string(filled) + " of " +
                                    std::to_string(pixels.size()) + " pixels");
        }
        std::uint8_t value = encoded[pos++];
        std::size_t count = 1;
        if ((value & kRunFlags) == kRunFlags) {
            count = value & kRunLengthMask;
            if (pos >= encoded.size()) {
                return fail(reason, "pixel data ends inside a run");
            }
            value = encoded[pos++];
        }
        if (count > pixels.size() - filled) {
            return fail(reason, "a run of " + std::to_string(count) +
                                    " pixels overruns the last pixel of the picture");
        }
        std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(filled), count, value);
        filled += count;
    }
    return true;
}

}  // namespace

bool LoadPCX(std::span<const std::uint8_t> bytes, PcxPicture& picture, std::string* reason) {
    picture = PcxPicture{};
    if (bytes.size() < kHeaderSize) {
        return fail(reason, "shorter than the 128-byte PCX header");
    }
    if (bytes[kVersionOffset] != kVersion) {
        return fail(reason, "PCX version " + std::to_string(bytes[kVersionOffset]) + ", not 5");
    }
    if (bytes[kBitsPerPixelOffset] != kBitsPerPixel || bytes[kPlanesOffset] != kPlanes) {
        return fail(reason, std::to_string(bytes[kBitsPerPixelOffset]) + " bits per pixel in " +
                                std::to_string(bytes[kPlanesOffset]) +
                                " planes, not one 8-bit plane");
    }

    const std::int32_t width = loadI16(bytes, kXMaxOffset) - loadI16(bytes, kXMinOffset) + 1;
    const std::int32_t height = loadI16(bytes, kYMaxOffset) - loadI16(bytes, kYMinOffset) + 1;
    if (width < 1 || height < 1) {
        return fail(reason, "picture edges are reversed");
    }
    if (width > kMaxPcxSide || height > kMaxPcxSide) {
        return fail(reason, "picture of " + std::to_string(width) + " x " + std::to_string(height) +
                                " pixels is too large");
    }

    if (bytes.size() < kHeaderSize + 1 + kPaletteSize) {
        return fail(reason, "too short to hold pixel data and a palette");
    }
    const std::size_t markerOffset = bytes.size() - kPaletteSize - 1;
    if (bytes[markerOffset] != kPaletteMarker) {
        return fail(reason, "no palette marker before the last 768 bytes");
    }

    // The encoded data ends where the picture's palette begins: a stream that
    // needs more bytes than that is cut short, not continued into the palette.
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) *
                                     static_cast<std::size_t>(height));
    if (!decodeRuns(bytes.subspan(kHeaderSize, markerOffset - kHeaderSize), pixels, reason)) {
        return false;
    }
    picture.PcxWidth = width;
    picture.PcxHeight = height;
    picture.PcxData = std::move(pixels);
    return true;
}

bool LoadPCX(const std::filesystem::path& path, PcxPicture& picture, std::string* reason) {
    picture = PcxPicture{};
    std::error_code statusError;
    if (!std::filesystem::is_regular_file(path, statusError)) {
        return fail(reason, Utf8FromPath(path) + " is missing or not a regular file");
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const FileError& error) {
        return fail(reason, error.what());
    }
    std::string why;
    if (LoadPCX(bytes, picture, &why)) {
        return true;
    }
    return fail(reason, Utf8FromPath(path) + ": " + why);
}

}  // namespace kloxmere

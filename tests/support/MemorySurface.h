#pragma once

// A drawing surface in memory for tests of what draws a unit's picture: the
// bitmap is a plain byte vector and the palette is taken as given.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/clsFastWin.h"

namespace kloxmere::test {

class MemoryBitmap final : public FastWinBitmap {
  public:
    explicit MemoryBitmap(std::size_t bytes) : memory(bytes, 0) {}
    std::uint8_t* bits() override { return memory.data(); }
    std::vector<std::uint8_t> memory;
};

class MemoryWindow final : public FastWinWindow {
  public:
    std::unique_ptr<FastWinBitmap> CreateDIBSection(const BitmapInfo& description) override {
        const auto& header = description.bmiHeader;
        return std::make_unique<MemoryBitmap>((static_cast<std::size_t>(header.biWidth) + 3) / 4 *
                                              4 * static_cast<std::size_t>(-header.biHeight));
    }
    void RealizePalette(const LogicalPalette&) override {}
};

}  // namespace kloxmere::test

// Feeds arbitrary bytes to the PCX decoder. Besides the sanitizers' checks, a
// decoded picture must be within the size limit and hold exactly one byte per
// pixel, and a refused one must leave the picture empty.

#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/modPCX.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kloxmere::PcxPicture picture;
    if (kloxmere::LoadPCX(std::span<const std::uint8_t>(data, size), picture)) {
        if (picture.PcxWidth < 1 || picture.PcxWidth > kloxmere::kMaxPcxSide ||
            picture.PcxHeight < 1 || picture.PcxHeight > kloxmere::kMaxPcxSide ||
            picture.PcxData.size() != static_cast<std::size_t>(picture.PcxWidth) *
                                          static_cast<std::size_t>(picture.PcxHeight)) {
            __builtin_trap();
        }
    } else if (picture.PcxWidth != 0 || picture.PcxHeight != 0 || !picture.PcxData.empty()) {
        __builtin_trap();
    }
    return 0;
}

#include "tests/archive/HpiTestSupport.h"

#include <cstring>
#include <random>
#include <stdexcept>

#include "base/ByteStream.h"
#include "tools/Lz77Encoder.h"

namespace kloxmere::test {

std::vector<std::uint8_t> SampleBytes(std::size_t size, std::uint32_t seed) {
    static constexpr std::string_view kWords[] = {
        "[UNITINFO]",   "{",          "}",          "Name=",        "Armageddon",
        "Core",         "Commander;", "BuildTime=", "MaxDamage=",   "weapon1=",
        "LASER;",       "\r\n",       "\t",         "Description=", "1500;",
        "FootprintX=2;"};
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out;
    out.reserve(size);
    while (out.size() < size) {
        if (random() % 8 == 0) {
            out.push_back(static_cast<std::uint8_t>(random()));
        } else {
            std::string_view word = kWords[random() % std::size(kWords)];
            out.insert(out.end(), word.begin(), word.end());
        }
    }
    out.resize(size);
    return out;
}

HpiWriter MakeWriter(std::uint8_t key) {
    HpiWriter writer(key);
    writer.setLz77Compressor(
        [](std::span<const std::uint8_t> chunk) { return tools::EncodeLz77Chunk(chunk); });
    return writer;
}

FileLayout LayoutOf(const std::vector<std::uint8_t>& archive, std::string_view name) {
    std::uint32_t root = LoadU32(archive.data() + 16);
    std::uint32_t count = LoadU32(archive.data() + root);
    std::uint32_t entries = LoadU32(archive.data() + root + 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = archive.data() + entries + i * 9;
        const char* entryName = reinterpret_cast<const char*>(archive.data() + LoadU32(entry));
        if (entryName != name) continue;
        FileLayout layout;
        layout.record = LoadU32(entry + 4);
        layout.data = LoadU32(archive.data() + layout.record);
        std::uint32_t size = LoadU32(archive.data() + layout.record + 4);
        if (archive[layout.record + 8] != 0) {
            layout.chunkCount = (size + 65535) / 65536;
            layout.firstChunk = layout.data + layout.chunkCount * 4;
        }
        return layout;
    }
    throw std::logic_error("no root file " + std::string(name));
}

}  // namespace kloxmere::test
